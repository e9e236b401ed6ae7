#include "ui/main/printedreport.h"

#include "app/errortrap.h"
#include "app/longtask.h"
#include "base/failure.h"
#include "money/moneyformat.h"
#include "output/preview/reportpreview.h"
#include "output/report/reportdata.h"
#include "output/report/reportmain.h"
#include "store/programconnection.h"
#include "store/recordset.h"
#include "store/reportstaging.h"
#include "store/statements.h"
#include "ui/main/reportrows.h"

#include <QCoreApplication>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

double amountOf(const Recordset& entry)
{
    const QVariant amount = entry.field(u"amount");
    ensure(!amount.isNull(), u"Invalid use of Null"_s);
    return amount.toDouble();
}

using StagingAdd = void (ReportStaging::*)(QDate, double, const QString&, const QString&);

// Stages the entry under the cursor. A failure names the entry, so that it can be found and mended.
void stageRow(ReportStaging& staging, StagingAdd add, const Recordset& entry)
{
    try {
        (staging.*add)(entry.field(u"datercvd").toDate(), amountOf(entry), entry.field(u"fromcompany").toString(),
                       entry.field(u"tocompany").toString());
    } catch (const std::exception& e) {
        throw Failure(QCoreApplication::translate("Report", "Entry %1: %2")
                          .arg(entry.field(u"id").toString(), QString::fromUtf8(e.what())));
    }
}

bool paymentTypeIs(const Recordset& entry, int type)
{
    return entry.field(u"paymenttype").toInt() == type;
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
qint64 entryCount()
{
    try {
        Recordset rs;
        rs.open(countEntries(), Conn());
        return rs.intValue(0);
    } catch (...) {
        return 0;
    }
}

void setMoneyFormat(ReportDesign& report, QStringView section, QStringView control)
{
    report.section(section).control(control).format = moneyFormat();
}

} // namespace

void printLedgerReport(QWidget* owner, double balance)
{
    ErrorTrap trap(u"Form1", u"PushButton5_Click");
    // Steps 106 and 108: the summary's balance, held for step 136.
    const double heldBalance = balance;

    // Old rows left in the staging table would be printed and summed with the new ones: a report
    // with wrong totals is worse than none.
    if (!trap.step(110, [&] { Conn().execute(clearReport()); }))
        return;

    // The entries are staged, read back and laid out: three passes over them.
    const qint64 entries = entryCount();
    LongTask task(owner, QCoreApplication::translate("Report", "Preparing the report…"), 3 * entries);

    Recordset rs; // step 112, with the start of the staging batch
    bool batch = false;
    trap.step(112, [&] {
        Conn().beginBatch();
        batch = true;
    });
    ReportStaging staging(Conn());
    // All or nothing: a report without some entry would show totals that disagree with the ledger.
    const int failuresBeforeStaging = trap.failures();
    const auto stagedWhole = [&] { return trap.failures() == failuresBeforeStaging; };
    trap.step(114, [&] { rs.open(selectAllEntries(), Conn(), adOpenStatic, adLockReadOnly); });
    qint64 staged = 0;
    trap.loop(
        116, [&] { return !rs.eof() && task.keepGoing(staged++); },
        [&] {
            if (trap.test(118, [&] { return paymentTypeIs(rs, 1); }))
                trap.step(120, [&] { stageRow(staging, &ReportStaging::addReceived, rs); });
            else if (trap.test(122, [&] { return paymentTypeIs(rs, 2); }))
                trap.step(124, [&] { stageRow(staging, &ReportStaging::addPaid, rs); });
            // An entry left out spoils the whole report, and a row that cannot be left would be
            // tried forever: either ends the copy.
            return stagedWhole() && trap.step(126, [&] { rs.moveNext(); });
        });
    const bool whole = stagedWhole();
    trap.step(128, [&] { rs.close(); });
    if (task.canceled() || !whole) {
        // The staging table stays as step 110 left it: empty.
        if (batch)
            abandonStagingBatch(Conn());
        return;
    }
    if (batch && !trap.step(128, [&] { endStagingBatch(Conn()); }))
        return;

    trap.step(130, [&] { rs.open(selectReport(), Conn(), adOpenStatic, adLockReadOnly); });
    std::optional<ReportDesign> report;
    ReportData rows;
    trap.step(132, [&] { report = rptMain(); });
    trap.step(134, [&] {
        rows = readReportRows(rs, report.value().dataFields(),
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
    trap.step(148, [&] { rs.close(); });
    trap.step(150, [&] { report.reset(); });
}
