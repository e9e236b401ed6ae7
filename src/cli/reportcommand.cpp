#include "base/failure.h"
#include "cli/cliledger.h"
#include "cli/commands.h"
#include "cli/output.h"
#include "ledgerlist/ledgertotals.h"
#include "money/moneyformat.h"
#include "money/storedcurrency.h"
#include "output/preview/reportpainter.h"
#include "output/report/reportdata.h"
#include "output/report/reportmain.h"

#include <QPrinter>
#include <algorithm>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// A report line needs a date and an amount; without them the totals under it would not add up,
// so the whole report is refused, naming the entry to mend, as the window's report is.
void requirePrintable(const EntryRows& entry)
{
    const QString id = entry.text(EntryField::Id);
    if (!entry.date().isValid())
        throw Failure(u"Entry %1 has no date the report can print (\"%2\"); nothing was written."_s.arg(
            id, entry.text(EntryField::Date)));
    if (entry.isNull(EntryField::Amount))
        throw Failure(u"Entry %1 has no amount; nothing was written."_s.arg(id));
}

// The report's rows as the window stages them: one per Received or Paid Out entry.
ReportData reportRows(Connection& ledger, const QStringList& fields, LedgerTotals& totals)
{
    // The staging table's columns, in the order the values below give them.
    const QStringList staged = {u"Date"_s, u"ValueIn"_s, u"ValueOut"_s, u"Payer"_s, u"Payee"_s};
    std::vector<qsizetype> slots;
    for (const QString& field : fields) {
        const auto it = std::find_if(staged.begin(), staged.end(), [&](const QString& name) {
            return name.compare(field, Qt::CaseInsensitive) == 0;
        });
        ensure(it != staged.end(), u"The report shows a field \"%1\" that entries do not have."_s.arg(field));
        slots.push_back(it - staged.begin());
    }
    ReportData rows(fields);
    scanEntries(ledger, {}, [&](const EntryRows& entry) {
        const auto direction = entry.direction();
        if (!direction)
            return;
        requirePrintable(entry);
        const double amount = entry.amount();
        totals.add(direction, amount);
        const auto text = [&](EntryField field) { return entry.isNull(field) ? QVariant() : entry.text(field); };
        const QVariant values[] = {entry.date(), *direction == Direction::Received ? amount : 0.0,
                                   *direction == Direction::PaidOut ? amount : 0.0, text(EntryField::FromCompany),
                                   text(EntryField::ToCompany)};
        rows.appendRowOf([&](int column) { return values[slots[size_t(column)]]; });
    });
    return rows;
}

} // namespace

int runReport(const QString& file)
{
    return reportingFailures([&] {
        const auto ledger = openLedgerToRead();
        buildStoredMoneyFormat();
        ReportDesign report = rptMain();
        LedgerTotals totals;
        const ReportData rows = reportRows(*ledger, report.dataFields(), totals);
        report.section(u"Section5").control(u"lblBalance").caption = FormatMoney(totals.balance());
        for (const auto& [section, control] :
             {std::pair(u"Section5", u"Function1"), std::pair(u"Section5", u"Function2"),
              std::pair(u"Section1", u"Text7"), std::pair(u"Section1", u"Text2")})
            report.section(section).control(control).format = moneyFormat();
        // The paper is the one the window's preview lays the report out for: the default printer's.
        const QPrinter printer(QPrinter::HighResolution);
        const ReportPages pages = layoutReport(report, rows, pageSizeTwips(printer));
        writeWhole(file, [&](const QString& temporary) { renderReportToPdf(pages, temporary); });
        return 0;
    });
}
