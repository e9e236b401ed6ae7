// The Create/Print Report command, pressed on the main window over a real ledger: the staging
// table, the preview window and what it prints, read back from PDF with pdftotext
// (poppler-utils), and its failures.
#include "base/paths.h"
#include "money/moneyformat.h"
#include "output/preview/reportpainter.h"
#include "output/preview/reportviewer.h"
#include "output/report/reportdata.h"
#include "output/report/reportlayout.h"
#include "output/report/reportmain.h"
#include "store/programconnection.h"
#include "store/recordset.h"
#include "support/ledgerfixture.h"
#include "support/mainwindow.h"
#include "support/pdftext.h"
#include "support/progresscancel.h"
#include "support/windowdriver.h"
#include "money/storedcurrency.h"
#include "ui/main/reportrows.h"

#include <QApplication>
#include <QPageLayout>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

// Waits for the report's preview window, notes what it shows, prints it to a PDF file through
// the window's own paint request and closes it.
class PreviewWatch
{
public:
    PreviewWatch(QString pdfPath, std::optional<QPageLayout> paper)
        : paper_(std::move(paper)), pdfPath_(std::move(pdfPath))
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] { closePreview(); });
        timer_.start(10);
    }

    void stop() { timer_.stop(); }

    int shown = 0;
    QString title;
    bool modal = false;
    QWidget* owner = nullptr;
    int previewPages = 0;

private:
    void closePreview()
    {
        auto* dialog = qobject_cast<ReportViewer*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        ++shown;
        title = dialog->windowTitle();
        modal = dialog->isModal();
        owner = dialog->parentWidget();
        previewPages = dialog->pageCount();
        QPrinter pdf(QPrinter::HighResolution);
        const QPageLayout preview = pdf.pageLayout();
        pdf.setOutputFormat(QPrinter::PdfFormat);
        pdf.setOutputFileName(pdfPath_);
        pdf.setPageLayout(paper_.value_or(preview));
        dialog->print(pdf);
        dialog->reject();
    }

    std::optional<QPageLayout> paper_; // printed on instead of the preview's paper
    QString pdfPath_;
    QTimer timer_;
};

// tblReport as "date|in|out|payer|payee" lines, read through `connection`.
QStringList stagedRows(Connection& connection)
{
    QStringList rows;
    Recordset rs;
    rs.open(selectReport(), connection);
    for (; !rs.eof(); rs.moveNext())
        rows.append(QStringList{rs.field(u"Date").toDate().toString(Qt::ISODate), rs.field(u"ValueIn").toString(),
                                rs.field(u"ValueOut").toString(), rs.field(u"Payer").toString(),
                                rs.field(u"Payee").toString()}
                        .join(u'|'));
    return rows;
}

Entry entry(QDate date, const QString& amount, Direction direction, const QString& from, const QString& to)
{
    Entry e = sampleEntry(u"Rent"_s, amount, direction);
    e.date = date;
    e.fromCompany = from;
    e.toCompany = to;
    return e;
}

// The step numbers that the error reports so far quote.
QList<int> reportedSteps(const ScriptedPrompter& boxes)
{
    QList<int> steps;
    for (const QString& report : boxes.errorReports()) {
        EXPECT_TRUE(report.contains(u"in Quorvane2021/08/31.Form1.PushButton5_Click at line "_s))
            << report.toStdString();
        const qsizetype at = report.indexOf(u"at line "_s) + 8;
        steps.append(report.mid(at, report.indexOf(u'\r', at) - at).toInt());
    }
    return steps;
}

class PrintedReport : public MainWindowTest
{
protected:
    // Refills the list from the ledger as it now stands (as every command does after changing
    // it), presses the command's button and returns the pages printed from the preview; the
    // watch tells about the preview window.
    QStringList run(PreviewWatch** watch = nullptr, std::optional<QPageLayout> paper = {})
    {
        window.ListData();
        const QString pdf = folder_.filePath(u"report%1.pdf"_s.arg(++runs_));
        lastWatch_ = std::make_unique<PreviewWatch>(pdf, std::move(paper));
        press(&window, u"PushButton5"_s);
        lastWatch_->stop();
        if (watch)
            *watch = lastWatch_.get();
        return lastWatch_->shown ? pdfPages(pdf) : QStringList();
    }

    void addTheExample()
    {
        addEntry(entry(QDate(2021, 3, 5), u"100"_s, Direction::Received, u"O'Neil"_s, u"Tobren"_s));
        addEntry(entry(QDate(2021, 3, 9), u"40"_s, Direction::PaidOut, u"Marrowfen"_s, u"Water Board"_s));
        addEntry(entry(QDate(2021, 3, 7), u"999"_s, Direction::Received, u"Nobody Else"_s, u"Tobren"_s));
        storePaymentType(newestId(), 3);
    }

    // 200 entries, one in seven paid out; the totals in cents.
    void addLongLedger(qint64& receivedCents, qint64& paidCents)
    {
        Conn().beginBatch();
        for (int i = 0; i < 200; ++i) {
            const qint64 cents = 1 + (i * 7919) % 2500000;
            const Direction direction = i % 7 == 0 ? Direction::PaidOut : Direction::Received;
            (direction == Direction::Received ? receivedCents : paidCents) += cents;
            addEntry(entry(QDate(2020, 1, 1).addDays(i), QString::number(double(cents) / 100, 'f', 2), direction,
                           u"Payer %1"_s.arg(i), u"Payee's %1"_s.arg(i)));
        }
        Conn().commitBatch();
    }

    QTemporaryDir folder_;
    int runs_ = 0;
    std::unique_ptr<PreviewWatch> lastWatch_;
};

TEST_F(PrintedReport, StagesTheLedgerAndPrintsItFromAModalPreview)
{
    addTheExample();
    PreviewWatch* watch = nullptr;
    const QStringList pages = run(&watch);

    EXPECT_TRUE(boxes.messages.isEmpty()) << boxes.texts().join(u"\n"_s).toStdString();
    EXPECT_EQ(stagedRows(Conn()),
              QStringList({u"2021-03-05|100|0|O'Neil|Tobren"_s, u"2021-03-09|0|40|Marrowfen|Water Board"_s}));
    EXPECT_EQ(watch->shown, 1);
    EXPECT_EQ(watch->title, u"DataReport1"_s);
    EXPECT_TRUE(watch->modal);
    EXPECT_EQ(watch->owner, &window);
    EXPECT_EQ(watch->previewPages, 1);

    ASSERT_EQ(pages.size(), 1);
    const QString& page = pages.front();
    for (const QString& text : {u"Date"_s, u"Received"_s, u"Paid"_s, u"From"_s, u"To"_s, u"05 Mar 2021"_s,
                                u"09 Mar 2021"_s, u"$ 100.00"_s, u"$ 0.00"_s, u"$ 40.00"_s, u"O'Neil"_s,
                                u"Water Board"_s, u"Total IN"_s, u"Total OUT"_s, u"Balance"_s, u"$ 60.00"_s})
        EXPECT_TRUE(page.contains(text)) << text.toStdString() << " missing from\n" << page.toStdString();
    EXPECT_FALSE(page.contains(u"Nobody Else"_s));
    EXPECT_FALSE(page.contains(u"999"_s));
    EXPECT_EQ(page.count(u"$ 100.00"_s), 2); // the line and Total IN
    EXPECT_EQ(page.count(u"$ 40.00"_s), 2);
}

TEST_F(PrintedReport, CancellingShowsNothingAndLeavesNoStagedRow)
{
    addTheExample();
    run();
    ASSERT_FALSE(stagedRows(Conn()).isEmpty());
    Conn().beginBatch();
    for (int i = 0; i < 3000; ++i)
        addEntry(entry(QDate(2021, 4, 1), u"1"_s, Direction::Received, u"Payer %1"_s.arg(i), u"Payee"_s));
    Conn().commitBatch();

    ProgressCancel cancel;
    PreviewWatch* watch = nullptr;
    run(&watch);
    EXPECT_TRUE(cancel.pressed());
    EXPECT_EQ(watch->shown, 0);
    EXPECT_TRUE(stagedRows(Conn()).isEmpty()) << "neither the earlier rows nor a part of the new ones";
    EXPECT_TRUE(boxes.messages.isEmpty()) << boxes.texts().join(u"\n"_s).toStdString();

    // The ledger takes writes again (the staging batch has ended) and the next report is whole.
    addEntry(entry(QDate(2021, 5, 1), u"7"_s, Direction::PaidOut, u"Last"_s, u"One"_s));
    run(&watch);
    EXPECT_EQ(watch->shown, 1);
    EXPECT_EQ(stagedRows(Conn()).size(), 3003);
}

TEST_F(PrintedReport, RunningTwiceGivesTheSameReport)
{
    addTheExample();
    const QStringList first = run();
    const QStringList staged = stagedRows(Conn());
    const QStringList second = run();
    EXPECT_EQ(stagedRows(Conn()), staged);
    EXPECT_EQ(second, first);
    EXPECT_TRUE(boxes.messages.isEmpty());
}

TEST_F(PrintedReport, StagedAmountsAreTheLedgersNumbersInAnyRegion)
{
    addEntry(entry(QDate(2021, 3, 5), u"0.30000000000000004"_s, Direction::Received, u"A"_s, u"B"_s));
    addEntry(entry(QDate(2021, 3, 5), u"1234567.891"_s, Direction::PaidOut, u"A"_s, u"B"_s));
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    addEntry(entry(QDate(2021, 3, 5), u"1234,5"_s, Direction::Received, u"A"_s, u"B"_s));
    run();
    EXPECT_TRUE(boxes.messages.isEmpty()) << boxes.texts().join(u"\n"_s).toStdString();

    QList<double> ledger;
    Recordset entries;
    for (entries.open(selectAllEntries(), Conn()); !entries.eof(); entries.moveNext())
        ledger.append(entries.field(u"amount").toDouble());
    QList<double> staged;
    Recordset rows;
    for (rows.open(selectReport(), Conn()); !rows.eof(); rows.moveNext())
        staged.append(rows.field(u"ValueIn").toDouble() + rows.field(u"ValueOut").toDouble());
    EXPECT_EQ(staged, ledger);
    EXPECT_EQ(ledger.size(), 3);
}

TEST_F(PrintedReport, ALongLedgerPrintsOnSeveralPagesWithTheTotalsToTheCent)
{
    qint64 receivedCents = 0;
    qint64 paidCents = 0;
    addLongLedger(receivedCents, paidCents);

    PreviewWatch* watch = nullptr;
    const QStringList pages = run(&watch);

    EXPECT_TRUE(boxes.messages.isEmpty());
    EXPECT_EQ(stagedRows(Conn()).size(), 200);
    ASSERT_GT(pages.size(), 4);
    EXPECT_EQ(watch->previewPages, pages.size());
    int lines = 0;
    for (qsizetype p = 0; p < pages.size(); ++p) {
        const bool last = p + 1 == pages.size();
        EXPECT_TRUE(pages[p].contains(u"Received"_s)) << "page " << p + 1;
        EXPECT_EQ(pages[p].contains(u"Total IN"_s), last) << "page " << p + 1;
        lines += int(pages[p].count(u"Payee's "_s));
    }
    EXPECT_EQ(lines, 200);
    EXPECT_TRUE(pages.back().contains(FormatMoney(double(receivedCents) / 100)));
    EXPECT_TRUE(pages.back().contains(FormatMoney(double(paidCents) / 100)));
    EXPECT_TRUE(pages.back().contains(FormatMoney(double(receivedCents - paidCents) / 100)));
}

TEST_F(PrintedReport, ThePaperChosenToPrintOnGetsALayoutOfItsOwn)
{
    qint64 receivedCents = 0;
    qint64 paidCents = 0;
    addLongLedger(receivedCents, paidCents);

    PreviewWatch* watch = nullptr;
    const QPageLayout landscape(QPageSize(QPageSize::Letter), QPageLayout::Landscape, QMarginsF());
    const QStringList pages = run(&watch, landscape);

    EXPECT_GT(pages.size(), watch->previewPages); // fewer lines fit across the paper
    int lines = 0;
    for (const QString& page : pages) {
        EXPECT_TRUE(page.contains(u"Received"_s));
        lines += int(page.count(u"Payee's "_s));
    }
    EXPECT_EQ(lines, 200);
    EXPECT_TRUE(pages.back().contains(FormatMoney(double(receivedCents) / 100)));
}

TEST_F(PrintedReport, AStagingTableThatCannotBeEmptiedIsReportedAndNoReportIsShown)
{
    addTheExample();
    run();
    Conn().execute(
        u"create trigger keep before delete on tblReport begin select raise(abort, 'staging is locked'); end"_s);

    PreviewWatch* watch = nullptr;
    run(&watch);

    ASSERT_EQ(boxes.errorReports().size(), 1);
    EXPECT_TRUE(boxes.errorReports().front().startsWith(u"staging is locked\r\n"_s));
    EXPECT_EQ(reportedSteps(boxes), QList<int>{110});
    EXPECT_EQ(stagedRows(Conn()).size(), 2) << "the earlier rows stay as they were, nothing is added";
    EXPECT_EQ(watch->shown, 0) << "old and new rows summed together would give wrong totals";
}

TEST_F(PrintedReport, ARejectedRowStopsTheReportAndKeepsNoneOfItsRows)
{
    addTheExample();
    addEntry(entry(QDate(2021, 3, 5), u"100"_s, Direction::Received, u"Reject"_s, u"Tobren"_s));
    const QString rejected = newestId();
    Conn().execute(u"create trigger refuse before insert on tblReport when new.Payer = 'Reject' "
                   u"begin select raise(abort, 'row refused'); end"_s);

    PreviewWatch* watch = nullptr;
    run(&watch);

    EXPECT_EQ(reportedSteps(boxes), QList<int>{120});
    EXPECT_TRUE(boxes.errorReports().value(0).startsWith(u"Entry %1: row refused\r\n"_s.arg(rejected)))
        << boxes.errorReports().value(0).toStdString();
    EXPECT_EQ(watch->shown, 0) << "a report without the entry would show wrong totals";

    // Another connection sees no staged row: the staging batch was rolled back, and the
    // connection writes straight through again afterwards.
    Connection other;
    other.open(connectionString(SpecialFolderPath(35)));
    EXPECT_TRUE(stagedRows(other).isEmpty());
    addEntry(sampleEntry(u"After"_s, u"5"_s));
    Recordset rs;
    rs.open(selectAllEntries() + u" where reason='After'"_s, other);
    EXPECT_FALSE(rs.eof());
}

// An entry whose text holds a NUL (stored by an older import) cannot be staged when the report
// prints that text: then no report at all, rather than one whose totals leave the entry out.
TEST_F(PrintedReport, AnEntryWhosePrintedTextHoldsANulStopsTheReport)
{
    const struct
    {
        const char16_t* column;
        Direction direction;
        int failingStep; // 0: the report is whole
    } cases[] = {{u"fromcompany", Direction::Received, 120},
                 {u"tocompany", Direction::PaidOut, 124},
                 {u"reason", Direction::PaidOut, 0}, // not printed
                 {u"notes", Direction::Received, 0}};
    for (const auto& c : cases) {
        const QString column = QString::fromUtf16(c.column);
        SCOPED_TRACE(column.toStdString());
        Conn().execute(u"delete from tblData"_s);
        addTheExample();
        run(); // its rows must not outlive the next report either
        boxes.messages.clear();
        addEntry(entry(QDate(2021, 3, 8), u"12.5"_s, c.direction, u"Payer"_s, u"Payee"_s));
        const QString id = newestId();
        storeNulInText(id, column);
        Recordset stored;
        stored.open(selectEntry(id), Conn());
        ASSERT_TRUE(stored.field(column).toString().contains(QChar(0)));
        stored.close();
        addEntry(entry(QDate(2021, 3, 10), u"3"_s, Direction::Received, u"Later"_s, u"Payee"_s));

        PreviewWatch* watch = nullptr;
        run(&watch);

        if (c.failingStep == 0) {
            EXPECT_TRUE(boxes.messages.isEmpty()) << boxes.texts().join(u"\n"_s).toStdString();
            EXPECT_EQ(watch->shown, 1);
            EXPECT_EQ(stagedRows(Conn()).size(), 4);
            continue;
        }
        EXPECT_EQ(reportedSteps(boxes), QList<int>{c.failingStep});
        EXPECT_TRUE(boxes.errorReports().value(0).startsWith(
            u"Entry %1: Texts may not contain the NUL character (U+0000).\r\n"_s.arg(id)))
            << boxes.errorReports().value(0).toStdString();
        EXPECT_EQ(watch->shown, 0);
        EXPECT_TRUE(stagedRows(Conn()).isEmpty()) << "neither the earlier rows nor the entries before it";
    }
}

TEST_F(PrintedReport, AStagingBatchThatCannotBeCommittedShowsNoReport)
{
    addTheExample();
    // Every row goes in, but the payers they name are checked only when the batch commits.
    Conn().execute(u"drop table tblReport"_s);
    Conn().execute(u"create table payers (name text primary key)"_s);
    Conn().execute(u"create table tblReport ([Date] DATE, ValueIn REAL, ValueOut REAL, "
                   u"Payer TEXT references payers(name) deferrable initially deferred, Payee TEXT)"_s);
    Conn().execute(u"pragma foreign_keys = on"_s);

    PreviewWatch* watch = nullptr;
    run(&watch);

    EXPECT_EQ(reportedSteps(boxes), QList<int>{128});
    EXPECT_EQ(watch->shown, 0) << "the totals of an empty staging table are not the ledger's";
    EXPECT_TRUE(stagedRows(Conn()).isEmpty());
}

TEST_F(PrintedReport, AMissingStagingTableIsReportedOnceAndNoReportIsShown)
{
    addTheExample();
    Conn().execute(u"drop table tblReport"_s);

    PreviewWatch* watch = nullptr;
    run(&watch);

    EXPECT_EQ(reportedSteps(boxes), QList<int>({110}));
    EXPECT_TRUE(boxes.errorReports().front().startsWith(u"no such table: tblReport\r\n"_s));
    EXPECT_EQ(watch->shown, 0);
    addEntry(sampleEntry(u"After"_s, u"5"_s));
    Connection other;
    other.open(connectionString(SpecialFolderPath(35)));
    Recordset rs;
    rs.open(selectAllEntries() + u" where reason='After'"_s, other);
    EXPECT_FALSE(rs.eof());
}

TEST_F(PrintedReport, AStagingTableHeldByAReaderElsewhereStagesNothingAndLeavesNoBatchOpen)
{
    addTheExample();
    run();
    // A reader elsewhere holds the ledger, so the clearing cannot finish: nothing is staged.
    auto other = std::make_unique<Connection>();
    other->open(connectionString(SpecialFolderPath(35)));
    auto reader = std::make_unique<Recordset>();
    reader->open(selectAllEntries(), *other);

    run();

    EXPECT_EQ(reportedSteps(boxes), QList<int>({110}));
    reader.reset();
    EXPECT_EQ(stagedRows(*other).size(), 2); // the first run's rows: neither cleared nor added to
    addEntry(sampleEntry(u"After"_s, u"5"_s));
    Recordset rs;
    rs.open(selectAllEntries() + u" where reason='After'"_s, *other);
    EXPECT_FALSE(rs.eof()) << "the connection was left inside the staging batch";
}

TEST_F(PrintedReport, TheRowsAreReadBackInTheirOrderWithTheFieldsAsked)
{
    addTheExample();
    run();
    Recordset rs;
    rs.open(selectReport(), Conn());

    const ReportData rows = readReportRows(rs, {u"payee"_s, u"Date"_s});

    EXPECT_TRUE(rs.eof());
    EXPECT_EQ(rows.columns(), QStringList({u"payee"_s, u"Date"_s}));
    ASSERT_EQ(rows.rowCount(), 2);
    EXPECT_EQ(rows.value(0, 0).toString(), u"Tobren"_s);
    EXPECT_EQ(rows.value(0, 1).toDate(), QDate(2021, 3, 5));
    EXPECT_EQ(rows.value(1, 0).toString(), u"Water Board"_s);
    EXPECT_EQ(rows.value(1, 1).toDate(), QDate(2021, 3, 9));
}

TEST_F(PrintedReport, ReadingTheRowsBackStopsWhenTheProgressSaysSo)
{
    addTheExample();
    run();
    Recordset rs;
    rs.open(selectReport(), Conn());

    EXPECT_THROW(readReportRows(rs, {u"Payee"_s}, [](qint64) { return false; }), Cancelled);
}

TEST(ReportPdf, WritesTheLaidOutPagesThroughThePainter)
{
    buildStoredMoneyFormat();
    ReportDesign report = rptMain();
    report.section(u"Section1").control(u"Text2").format = moneyFormat();
    report.section(u"Section5").control(u"lblBalance").caption = FormatMoney(-1234567.5);
    ReportData rows(report.dataFields());
    rows.appendRow({QDate(2021, 3, 5), 1234567890.25, 0.0, u"A payer with a rather long name"_s, u"Zoë"_s});

    QTemporaryDir folder;
    const QString pdf = folder.filePath(u"report.pdf"_s);
    renderReportToPdf(layoutReport(report, rows, QSize(12000, 14000)), pdf);

    const QStringList pages = pdfPages(pdf);
    ASSERT_EQ(pages.size(), 1);
    for (const QString& text : {u"05 Mar 2021"_s, u"$ 1,234,567,890.25"_s, u"A payer with a rather long name"_s,
                                u"Zoë"_s, u"-$ 1,234,567.50"_s})
        EXPECT_TRUE(pages.front().contains(text)) << text.toStdString() << " missing from\n"
                                                  << pages.front().toStdString();

    QProcess pdfinfo;
    pdfinfo.start(u"pdfinfo"_s, {pdf});
    ASSERT_TRUE(pdfinfo.waitForFinished());
    const QString info = QString::fromUtf8(pdfinfo.readAllStandardOutput());
    EXPECT_TRUE(info.contains(u"600 x 700 pts"_s)) << info.toStdString();
}

TEST(ReportPdf, PrintsOnlyThePagesTheUserChose)
{
    buildStoredMoneyFormat();
    ReportData rows(rptMain().dataFields());
    for (int i = 0; i < 100; ++i)
        rows.appendRow({QDate(2021, 3, 5), 1.0, 0.0, u"P%1"_s.arg(i, 3, 10, QChar(u'0')), u"Q"_s});
    const ReportPages report = layoutReport(rptMain(), rows, QSize(12240, 15840));
    ASSERT_EQ(report.pages.size(), 3u); // 37 lines to a letter page

    QTemporaryDir folder;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(folder.filePath(u"range.pdf"_s));
    printer.setPageSize(QPageSize(QPageSize::Letter));
    printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(2, 3);
    printReport(printer, report);

    const QStringList pages = pdfPages(printer.outputFileName());
    ASSERT_EQ(pages.size(), 2);
    EXPECT_FALSE(pages[0].contains(u"P036"_s));
    EXPECT_TRUE(pages[0].contains(u"P037"_s));
    EXPECT_TRUE(pages[1].contains(u"P099"_s));
    EXPECT_TRUE(pages[1].contains(u"Total IN"_s));
}

} // namespace
