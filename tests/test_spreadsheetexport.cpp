// The spreadsheet export command, pressed on the main window over a real ledger, against a
// stand-in spreadsheet program that records how it was started and keeps a copy of the workbook
// it was given.
#include "app/pointerkind.h"
#include "base/apptitle.h"
#include "store/programconnection.h"
#include "support/fakespreadsheet.h"
#include "support/ledgerfixture.h"
#include "support/mainwindow.h"
#include "support/printers.h"
#include "support/progresscancel.h"
#include "support/windowdriver.h"
#include "support/windowsystem.h"
#include "support/xlsxreader.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProgressDialog>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QStringList titles = {u"ID"_s, u"Date"_s,   u"Amount"_s, u"Reason"_s, u"From"_s,
                            u"To"_s, u"Method"_s, u"Notes"_s,  u"In/Out"_s};

struct ListedEntry
{
    ListedEntry(const QString& reason, const QString& notes = {}, double amount = 10,
                std::optional<Direction> direction = Direction::Received)
        : reason(reason), notes(notes), amount(amount), direction(direction)
    {
    }
    QString reason;
    QString notes;
    double amount;
    std::optional<Direction> direction; // none: stored as 0, which no window writes
};

class SpreadsheetExport : public MainWindowTest
{
protected:
    // Lists sample entries with these reasons, notes, amounts and directions.
    void append(const QList<ListedEntry>& entries)
    {
        Conn().beginBatch();
        for (const ListedEntry& entry : entries) {
            Entry fields = sampleEntry(entry.reason, QString::number(entry.amount, 'f', 2),
                                       entry.direction.value_or(Direction::Received));
            fields.notes = entry.notes;
            addEntry(fields);
            if (!entry.direction)
                storePaymentType(newestId(), 0);
        }
        Conn().commitBatch();
        window.ListData();
    }

    void exportList() { press(&window, u"PushButton6"_s); }

    // A list long enough for an export to look at pending events many times, all of it ticked, and
    // the stand-in program ready.
    void listLongTickedLedger(int count = 3000)
    {
        QList<ListedEntry> entries;
        for (int i = 0; i < count; ++i)
            entries.append(ListedEntry(u"Reason %1"_s.arg(i)));
        append(entries);
        tickAll(window);
        spreadsheet.installProgram();
    }

    // Exports, checks that the stand-in program opened the workbook, and reads it back.
    XlsxSheet exportedSheet()
    {
        spreadsheet.installProgram();
        exportList();
        EXPECT_EQ(spreadsheet.launchArguments().size(), 3);
        return XlsxSheet(spreadsheet.openedWorkbook());
    }

    // Presses the export from the program's own event loop, run as main() runs it, until that loop
    // ends; returns its exit code, or -1 when it was still running after ten seconds.
    int exportInProgramLoop()
    {
        QTimer::singleShot(0, &window, [this] { exportList(); });
        QTimer limit;
        limit.setSingleShot(true);
        QObject::connect(&limit, &QTimer::timeout, [] { QCoreApplication::exit(-1); });
        limit.start(10000);
        return QApplication::exec();
    }

    // After the window was closed during an export: the loop ended as quit() ends it, and the
    // export neither started the program nor left its workbook.
    void expectProgramEndedCleanly(int loopExit)
    {
        EXPECT_EQ(loopExit, 0) << "the program's event loop ends";
        EXPECT_TRUE(window.isClosing());
        EXPECT_FALSE(window.isVisible());
        EXPECT_FALSE(QTest::qWaitFor([this] { return QFile::exists(spreadsheet.out + u"/arguments"_s); }, 500))
            << "no program after the window has gone";
        EXPECT_TRUE(spreadsheet.leftInTemp().isEmpty());
        EXPECT_FALSE(window.isExporting());
    }

    QStringList listRow(int row) const { return rowTexts(window.listView()->model(), row); }
    QString summary(int index) const { return summaryCaptions(window)[index]; }

    FakeSpreadsheetHome spreadsheet;
};

TEST_F(SpreadsheetExport, OpensTickedRowsUnderTheTitlesWithTheSummaryBelow)
{
    append({{u"Gig"_s, u"first"_s, 20}, {u"Rent"_s, u"second"_s, 5, Direction::PaidOut}, {u"Job"_s, u"third"_s, 10}});
    tickAll(window);
    spreadsheet.installProgram();
    exportList();

    const QStringList arguments = spreadsheet.launchArguments();
    ASSERT_EQ(arguments.size(), 3);
    EXPECT_EQ(arguments.mid(0, 2), (QStringList{u"--calc"_s, u"-n"_s}));
    const QFileInfo workbook(arguments[2]);
    EXPECT_EQ(workbook.suffix(), u"xlsx");
    EXPECT_EQ(QFileInfo(workbook.path()).path(), spreadsheet.temp);
    const QFile::Permissions ownerOnly = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
    const QFile::Permissions others =
        QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    EXPECT_EQ(QFile::permissions(workbook.path()) & (ownerOnly | others), ownerOnly) << "a private folder";

    const XlsxSheet sheet(spreadsheet.openedWorkbook());
    EXPECT_EQ(sheet.row(1, 9), titles);
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(sheet.row(row + 2, 9), listRow(row)) << "list row " << row;
    EXPECT_EQ(sheet.row(3, 9).mid(3),
              (QStringList{u"Rent"_s, u"Marrowfen"_s, u"Tobren"_s, u"Cash"_s, u"second"_s, u"Paid Out"_s}));
    EXPECT_TRUE(sheet.cells.value(u"A2"_s).isNumber);
    EXPECT_FALSE(sheet.cells.value(u"C2"_s).isNumber);
    EXPECT_EQ(sheet.usedRows(), (QList<int>{1, 2, 3, 4, 7}));
    EXPECT_EQ(summaryCaptions(window), (QStringList{u"Received: $ 30.00"_s, u"Paid: $ 5.00"_s, u"Balance: $ 25.00"_s}));
    EXPECT_EQ(sheet.row(7, 9), (QStringList{{}, {}, summary(0), {}, {}, summary(1), {}, {}, summary(2)}));
    EXPECT_TRUE(boxes.messages.isEmpty());
    EXPECT_EQ(pointerKind(&window), pointerDefault);
    EXPECT_FALSE(window.isExporting());
}

TEST_F(SpreadsheetExport, UntickedRowsKeepTheirPlaceEmpty)
{
    append({{u"Gig"_s}, {u"Rent"_s}, {u"Job"_s}});
    const XlsxSheet none = exportedSheet();
    EXPECT_EQ(none.usedRows(), (QList<int>{1, 7}));
    EXPECT_EQ(none.row(1, 9), titles);
    EXPECT_EQ(none.text(u"C7"_s), summary(0));
    EXPECT_EQ(none.text(u"F7"_s), summary(1));
    EXPECT_EQ(none.text(u"I7"_s), summary(2));

    spreadsheet.forgetLaunch();
    tick(window, 1);
    const XlsxSheet middle = exportedSheet();
    EXPECT_EQ(middle.usedRows(), (QList<int>{1, 3, 7}));
    EXPECT_EQ(middle.text(u"D3"_s), u"Rent");
}

TEST_F(SpreadsheetExport, EarlierWorkbooksAreRemovedAtTheNextExportAndAtShutdown)
{
    append({{u"Gig"_s}});
    tickAll(window);
    exportedSheet();
    const QStringList first = spreadsheet.leftInTemp();
    ASSERT_EQ(first.size(), 1);
    EXPECT_EQ(fileMode(QDir(spreadsheet.temp).filePath(first[0])), 0700u);
    spreadsheet.forgetLaunch();
    exportedSheet();
    const QStringList second = spreadsheet.leftInTemp();
    ASSERT_EQ(second.size(), 1) << "the first export's copy of the ledger is gone";
    EXPECT_NE(second, first);
    window.close();
    EXPECT_TRUE(spreadsheet.leftInTemp().isEmpty()) << "and the last one at shutdown";
}

TEST_F(SpreadsheetExport, ClosingTheWindowDuringAnExportStartsNoProgramAndLeavesNoWorkbook)
{
    listLongTickedLedger();
    QTimer::singleShot(0, &window, [this] { window.close(); });
    exportList();
    QTest::qWait(300);
    EXPECT_TRUE(window.isClosing());
    EXPECT_FALSE(QFile::exists(spreadsheet.out + u"/arguments"_s)) << "no program after the window has gone";
    EXPECT_TRUE(spreadsheet.leftInTemp().isEmpty());
    EXPECT_FALSE(window.isExporting());
}

// The window manager's close is the user's doing: it must not wait behind the export, nor be
// refused while the progress shows.
TEST_F(SpreadsheetExport, ClosingTheWindowBeforeTheProgressShowsEndsTheProgram)
{
    listLongTickedLedger(100000);
    bool exportingWhenClosed = false;
    bool progressWhenClosed = true;
    QTimer::singleShot(250, &window, [this, &exportingWhenClosed, &progressWhenClosed] {
        exportingWhenClosed = window.isExporting();
        progressWhenClosed = window.findChild<QProgressDialog*>() != nullptr;
        closeFromWindowManager(&window);
    });
    expectProgramEndedCleanly(exportInProgramLoop());
    EXPECT_TRUE(exportingWhenClosed);
    EXPECT_FALSE(progressWhenClosed);
}

TEST_F(SpreadsheetExport, ClosingTheWindowWhileTheProgressShowsEndsTheProgram)
{
    listLongTickedLedger(100000);
    ProgressShown closing([this](QProgressDialog&) { closeFromWindowManager(&window); });
    expectProgramEndedCleanly(exportInProgramLoop());
    EXPECT_TRUE(closing.acted());
}

TEST_F(SpreadsheetExport, CancellingTheExportWritesNoWorkbookAndStartsNoProgram)
{
    listLongTickedLedger();
    ProgressCancel cancel;
    exportList();
    QTest::qWait(300);
    EXPECT_TRUE(cancel.pressed());
    EXPECT_FALSE(QFile::exists(spreadsheet.out + u"/arguments"_s)) << "no program after Cancel";
    EXPECT_TRUE(spreadsheet.leftInTemp().isEmpty()) << "no workbook after Cancel";
    EXPECT_FALSE(window.isExporting());
    EXPECT_TRUE(boxes.messages.isEmpty()) << "Cancel is no failure";

    // The next export runs in full.
    exportedSheet();
}

TEST_F(SpreadsheetExport, EmptyListMakesNoWorkbookAndSaysNothing)
{
    spreadsheet.installProgram();
    exportList();
    QTest::qWait(200);
    EXPECT_TRUE(boxes.messages.isEmpty());
    EXPECT_TRUE(spreadsheet.leftInTemp().isEmpty());
    EXPECT_FALSE(QFile::exists(spreadsheet.out + u"/arguments"_s));
}

TEST_F(SpreadsheetExport, WithoutSpreadsheetProgramSaysSoTwiceAndLeavesNoFile)
{
    append({{u"Gig"_s}});
    tickAll(window);
    exportList();
    ASSERT_EQ(boxes.messages.size(), 2);
    EXPECT_EQ(boxes.texts(), (QStringList{u"Excel is not installed on this computer. You need to have it installed "
                                          "to use this software without error."_s,
                                          u"Excel is not installed on this computer. You need to have it installed "
                                          "to use this feature."_s}));
    for (const ScriptedPrompter::Message& message : boxes.messages) {
        EXPECT_EQ(message.caption, appTitle());
        EXPECT_EQ(message.icon, MessageIcon::None);
    }
    EXPECT_TRUE(spreadsheet.leftInTemp().isEmpty());
    EXPECT_EQ(pointerKind(&window), pointerDefault);
}

TEST_F(SpreadsheetExport, ValuesStayUnderTheirOwnTitles)
{
    append({{u"=1+1"_s, u""_s, 7, Direction::PaidOut},
            {u"Grüße aus Köln"_s, u"東京 → ½ € ✓ 😀"_s},
            {u"Rent"_s, u"a=b==c"_s, 3, std::nullopt}});
    tickAll(window);
    const XlsxSheet sheet = exportedSheet();
    EXPECT_EQ(sheet.row(1, 9), titles) << "a first row without notes keeps the Notes title";
    EXPECT_EQ(sheet.text(u"D2"_s), u"1+1");
    EXPECT_EQ(sheet.text(u"H2"_s), u"");
    EXPECT_EQ(sheet.text(u"I2"_s), u"Paid Out");
    EXPECT_EQ(sheet.text(u"D3"_s), u"Grüße aus Köln");
    EXPECT_EQ(sheet.text(u"H3"_s), u"東京 → ½ € ✓ 😀");
    EXPECT_EQ(sheet.text(u"H4"_s), u"abc");
    EXPECT_EQ(sheet.text(u"I4"_s), u"") << "an unknown direction leaves In/Out empty";
    EXPECT_EQ(sheet.text(u"C7"_s), summary(0));
}

TEST_F(SpreadsheetExport, CellThatCannotBeWrittenIsReportedAndTheExportGoesOn)
{
    append({{u"Gig"_s, QString(40000, u'x')}, {u"Rent"_s, u"short"_s}});
    tickAll(window);
    const XlsxSheet sheet = exportedSheet();
    const QStringList reports = boxes.errorReports();
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(reports[0].contains(u"in Quorvane2021/08/31.Form1.PushButton6_Click at line 162"_s))
        << reports[0].toStdString();
    EXPECT_EQ(sheet.text(u"H2"_s), u"");
    EXPECT_EQ(sheet.text(u"I2"_s), u"Received");
    EXPECT_EQ(sheet.text(u"H3"_s), u"short");
    EXPECT_EQ(sheet.text(u"I6"_s), summary(2));
    EXPECT_EQ(pointerKind(&window), pointerDefault);
}

TEST_F(SpreadsheetExport, RowsAddedWhileExportingAreExportedToo)
{
    append({{u"Gig"_s}, {u"Rent"_s}});
    tickAll(window);
    bool exportingMeanwhile = false;
    int pointerMeanwhile = -1;
    // A ledger command run during the export: it adds entries and refills the list while the
    // hourglass shows, so the refill keeps the listed rows and appends the whole ledger after them.
    QTimer::singleShot(0, [&] {
        exportingMeanwhile = window.isExporting();
        pointerMeanwhile = pointerKind(&window);
        append({{u"Job"_s}, {u"Water Bill"_s}});
        tickAll(window);
    });
    const XlsxSheet sheet = exportedSheet();
    EXPECT_TRUE(exportingMeanwhile);
    EXPECT_EQ(pointerMeanwhile, pointerHourglass);
    ASSERT_EQ(window.listView()->model()->rowCount(), 6);
    EXPECT_EQ(sheet.usedRows(), (QList<int>{1, 2, 3, 4, 5, 6, 7, 10}));
    for (int row = 0; row < 6; ++row)
        EXPECT_EQ(sheet.row(row + 2, 9), listRow(row)) << "list row " << row;
    EXPECT_EQ(sheet.text(u"D4"_s), u"Gig");
    EXPECT_EQ(sheet.text(u"D7"_s), u"Water Bill");
    EXPECT_EQ(sheet.text(u"I10"_s), summary(2));
    EXPECT_EQ(summary(2), u"Balance: $ 40.00");
    EXPECT_EQ(pointerKind(&window), pointerDefault);
    EXPECT_FALSE(window.isExporting());
}

TEST_F(SpreadsheetExport, TenThousandTickedRows)
{
    QList<ListedEntry> entries;
    for (int i = 0; i < 10000; ++i)
        entries.append(
            {u"Reason %1"_s.arg(i), u"Note ü %1"_s.arg(i), i * 1.25, i % 2 ? Direction::PaidOut : Direction::Received});
    append(entries);
    tickAll(window);
    const XlsxSheet sheet = exportedSheet();
    EXPECT_EQ(sheet.usedRows().size(), 10000 + 2);
    for (int row : {0, 1, 4999, 9998, 9999})
        EXPECT_EQ(sheet.row(row + 2, 9), listRow(row)) << "list row " << row;
    EXPECT_EQ(sheet.text(u"F10004"_s), summary(1));
    EXPECT_TRUE(boxes.messages.isEmpty());
}

} // namespace
