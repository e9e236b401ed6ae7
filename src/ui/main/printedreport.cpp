#include "ui/main/printedreport.h"

#include "app/errortrap.h"
#include "app/longtask.h"
#include "base/failure.h"
#include "money/moneyformat.h"
#include "output/preview/reportpreview.h"
#include "output/report/reportdata.h"
#include "output/report/reportmain.h"
#include "store/connection.h"
#include "store/ledgerentries.h"
#include "store/recordset.h"
#include "store/reportstaging.h"
#include "ui/main/reportrows.h"

#include <QCoreApplication>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

double amountOf(const EntryRows& entry)
{
    ensure(!entry.isNull(EntryField::Amount), u"Invalid use of Null"_s);
    return entry.amount();
}

using StagingAdd = void (ReportStaging::*)(QDate, double, const QString&, const QString&);

// Stages the entry under the cursor. A failure names the entry, so that it can be found and mended.
void stageRow(ReportStaging& staging, StagingAdd add, const EntryRows& entry)
{
    try {
        (staging.*add)(entry.date(), amountOf(entry), entry.text(EntryField::FromCompany),
                       entry.text(EntryField::ToCompany));
    } catch (const std::exception& e) {
        throw Failure(QCoreApplication::translate("Report", "Entry %1: %2")
                          .arg(entry.text(EntryField::Id), QString::fromUtf8(e.what())));
    }
}

// Ends a staging batch keeping none of its rows.
void abandonStagingBatch(Connection& connection)
{
    try {
        connection.rollbackBatch();
    } catch (...) {
        // Already ended by the engine: nothing of the batch is left either way.
    }
}

// The staging rows are scratch data, so they are written in one batch with one disk sync. A
// batch that cannot be committed is rolled back: left open, it would swallow every later write.
void endStagingBatch(Connection& connection)
{
    try {
        connection.commitBatch();
    } catch (...) {
        abandonStagingBatch(connection);
        throw;
    }
}

// The number of entries, for the progress; 0 when they cannot be counted (the bar then stands still).
qint64 entryCount(const LedgerEntries& ledger)
{
    try {
        return ledger.count();
    } catch (...) {
        return 0;
    }
}

void setMoneyFormat(ReportDesign& report, QStringView section, QStringView control)
{
    report.section(section).control(control).format = moneyFormat();
}

} // namespace

void printLedgerReport(QWidget* owner, const LedgerEntries& ledger, double balance)
{
    ErrorTrap trap(u"Form1", u"PushButton5_Click");
    // Steps 106 and 108: the summary's balance, held for step 136.
    const double heldBalance = balance;

    // Old rows left in the staging table would be printed and summed with the new ones: a report
    // with wrong totals is worse than none.
    if (!trap.step(110, [&] { ReportStaging::clear(ledger.connection()); }))
        return;
    Connection& connection = ledger.connection();

    // The entries are staged, read back and laid out: three passes over them.
    const qint64 entries = entryCount(ledger);
    LongTask task(owner, QCoreApplication::translate("Report", "Preparing the report…"), 3 * entries);

    EntryRows ledgerRows; // step 112, with the start of the staging batch
    bool batch = false;
    trap.step(112, [&] {
        connection.beginBatch();
        batch = true;
    });
    ReportStaging staging(connection);
    // All or nothing: a report without some entry would show totals that disagree with the ledger.
    const int failuresBeforeStaging = trap.failures();
    const auto stagedWhole = [&] { return trap.failures() == failuresBeforeStaging; };
    trap.step(114, [&] { ledger.readAll(ledgerRows); });
    qint64 staged = 0;
    trap.loop(
        116, [&] { return !ledgerRows.atEnd() && task.keepGoing(staged++); },
        [&] {
            if (trap.test(118, [&] { return ledgerRows.direction() == Direction::Received; }))
                trap.step(120, [&] { stageRow(staging, &ReportStaging::addReceived, ledgerRows); });
            else if (trap.test(122, [&] { return ledgerRows.direction() == Direction::PaidOut; }))
                trap.step(124, [&] { stageRow(staging, &ReportStaging::addPaid, ledgerRows); });
            // An entry left out spoils the whole report, and a row that cannot be left would be
            // tried forever: either ends the copy.
            return stagedWhole() && trap.step(126, [&] { ledgerRows.next(); });
        });
    const bool whole = stagedWhole();
    trap.step(128, [&] { ledgerRows.close(); });
    if (task.canceled() || !whole) {
        // The staging table stays as step 110 left it: empty.
        if (batch)
            abandonStagingBatch(connection);
        return;
    }
    if (batch && !trap.step(128, [&] { endStagingBatch(connection); }))
        return;

    Recordset stagedRows; // the report's data source
    trap.step(130, [&] { staging.readBack(stagedRows); });
    std::optional<ReportDesign> report;
    ReportData rows;
    trap.step(132, [&] { report = rptMain(); });
    trap.step(134, [&] {
        rows = readReportRows(stagedRows, report.value().dataFields(),
                              [&](qint64 read) { return task.keepGoing(entries + read); });
    });
    if (task.canceled())
        return;
    trap.step(136,
              [&] { report.value().section(u"Section5").control(u"lblBalance").caption = FormatMoney(heldBalance); });
    trap.step(138, [&] { setMoneyFormat(report.value(), u"Section5", u"Function1"); });
    trap.step(140, [&] { setMoneyFormat(report.value(), u"Section5", u"Function2"); });
    trap.step(142, [&] { setMoneyFormat(report.value(), u"Section1", u"Text7"); });
    trap.step(144, [&] { setMoneyFormat(report.value(), u"Section1", u"Text2"); });
    trap.step(146, [&] { showReportPreview(report.value(), rows, owner, task, 2 * entries); });
    trap.step(148, [&] { stagedRows.close(); });
    trap.step(150, [&] { report.reset(); });
}
