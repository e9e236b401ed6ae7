#include "base/failure.h"
#include "cli/cliledger.h"
#include "cli/commands.h"
#include "cli/output.h"
#include "ledgerlist/ledgermodel.h"
#include "ledgerlist/ledgertotals.h"
#include "ledgerlist/listcolumns.h"
#include "money/storedcurrency.h"
#include "output/listsheet/listsheet.h"
#include "output/spreadsheet/spreadsheetworkbook.h"

#include <QFile>

namespace {

LedgerRowValues listRowOf(const EntryRows& entry)
{
    LedgerRowValues row;
    row.hasId = !entry.isNull(EntryField::Id);
    row.id = entry.id();
    row.date = entry.date();
    row.dateText = entry.utf8(EntryField::Date);
    row.hasAmount = !entry.isNull(EntryField::Amount);
    row.amount = entry.amount();
    row.reason = entry.utf8(EntryField::Reason);
    row.fromCompany = entry.utf8(EntryField::FromCompany);
    row.toCompany = entry.utf8(EntryField::ToCompany);
    row.paymentMethod = entry.utf8(EntryField::PaymentMethod);
    row.notes = entry.utf8(EntryField::Notes);
    row.direction = entry.direction();
    return row;
}

// The list as the window fills it, every row ticked; returns the totals of its summary.
LedgerTotals fillList(Connection& ledger, LedgerModel& list)
{
    for (const char16_t* title : listColumnTitles)
        list.addColumn(QString::fromUtf16(title));
    LedgerTotals totals;
    list.beginRefill(false);
    scanEntries(ledger, {}, [&](const EntryRows& entry) {
        const LedgerRowValues row = listRowOf(entry);
        totals.add(row.direction, row.amount);
        list.appendRow(row);
    });
    list.endRefill();
    for (int row = 0; row < list.rowCount(); ++row)
        list.setTicked(row, true);
    return totals;
}

} // namespace

int runExport(const QString& file)
{
    return reportingFailures([&] {
        const auto ledger = openLedgerToRead();
        buildStoredMoneyFormat();
        LedgerModel list;
        const LedgerTotals totals = fillList(*ledger, list);

        SpreadsheetWorkbook sheet;
        for (int column = 0; column < list.columnCount(); ++column)
            ListSheet::writeTitle(sheet, list, column);
        for (int row = 0; row < list.rowCount(); ++row)
            for (int column = 0; column < list.columnCount(); ++column)
                ListSheet::writeCell(sheet, list, row, column);
        const int summaryRow = ListSheet::summaryRow(ListSheet::sheetRowOf(list.rowCount()));
        const std::array captions = {receivedCaption(totals.received), paidCaption(totals.paid),
                                     balanceCaption(totals.balance())};
        for (size_t i = 0; i < captions.size(); ++i)
            ListSheet::writeSummary(sheet, summaryRow, i, captions[i]);
        sheet.fitColumns();
        const QString saved = sheet.save();
        writeWhole(file, [&](const QString& temporary) {
            QFile::remove(temporary);
            if (!QFile::copy(saved, temporary))
                throw Failure(QStringLiteral("The workbook could not be copied to its place."));
        });
        return 0;
    });
}
