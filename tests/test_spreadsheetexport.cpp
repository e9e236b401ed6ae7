// The spreadsheet export command, driven against a fake spreadsheet program that records how it
// was started and keeps a copy of the workbook it was given.
#include "base/apptitle.h"
#include "ui/currency/storedcurrency.h"
#include "app/pointerkind.h"
#include "money/moneyformat.h"
#include "support/fakespreadsheet.h"
#include "support/printers.h"
#include "support/scriptedprompter.h"
#include "support/xlsxreader.h"
#include "ui/main/ledgermodel.h"
#include "ui/main/spreadsheetexport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QStringList titles = {u"ID"_s, u"Date"_s,   u"Amount"_s, u"Reason"_s, u"From"_s,
                            u"To"_s, u"Method"_s, u"Notes"_s,  u"In/Out"_s};

struct Entry
{
    Entry(const QString& reason, const QString& notes = {}, double amount = 10, int direction = 1)
        : reason(reason), notes(notes), amount(amount), direction(direction)
    {
    }
    QString reason;
    QString notes;
    double amount;
    int direction;
};

class SpreadsheetExport : public testing::Test
{
protected:
    void SetUp() override
    {
        const QDir home(QString::fromLocal8Bit(qgetenv("HOME")));
        home.mkpath(u"tmp"_s);
        home.mkpath(u"bin"_s);
        home.mkpath(u"out"_s);
        temp_ = home.filePath(u"tmp"_s);
        bin_ = home.filePath(u"bin"_s);
        out_ = home.filePath(u"out"_s);
        // PATH holds our fakes only, so no real spreadsheet program is ever started.
        qputenv("PATH", QFile::encodeName(bin_));
        qputenv("TMPDIR", QFile::encodeName(temp_));
        for (const QString& title : titles)
            list.addColumn(title);
        buildStoredMoneyFormat();
        received.setText(u"Received: $ 30.00"_s);
        paid.setText(u"Paid: $ 5.00"_s);
        balance.setText(u"Balance: $ 25.00"_s);
    }

    void TearDown() override
    {
        qputenv("PATH", savedPath_);
        qputenv("TMPDIR", savedTemp_);
    }

    void installFakeSpreadsheet() { ::installFakeSpreadsheet(bin_, out_); }

    void append(const QList<Entry>& entries, bool keepRows = false)
    {
        list.beginRefill(keepRows);
        for (const Entry& entry : entries) {
            const QByteArray reason = entry.reason.toUtf8(), notes = entry.notes.toUtf8();
            LedgerRowValues row;
            row.id = ++lastId_;
            row.hasId = true;
            row.date = QDate(2021, 3, 5).addDays(lastId_);
            row.amount = entry.amount;
            row.hasAmount = true;
            row.reason = reason;
            row.fromCompany = "Marrowfen";
            row.toCompany = "Tobren";
            row.paymentMethod = "Cash";
            row.notes = notes;
            row.direction = entry.direction;
            list.appendRow(row);
        }
        list.endRefill();
    }

    void tickAll()
    {
        for (int row = 0; row < list.rowCount(); ++row)
            list.setTicked(row, true);
    }

    void exportList() { exportLedgerList(&window, list, {&received, &paid, &balance}); }

    QStringList launchArguments() const { return fakeSpreadsheetArguments(out_); }

    // Exports, checks that the fake program opened the workbook, and reads it back.
    XlsxSheet exportedSheet()
    {
        installFakeSpreadsheet();
        exportList();
        EXPECT_EQ(launchArguments().size(), 3);
        return XlsxSheet(out_ + u"/document.xlsx"_s);
    }

    QStringList leftInTemp() const { return QDir(temp_).entryList(QDir::AllEntries | QDir::NoDotAndDotDot); }

    // The row as the list shows it, id as a number.
    QStringList listRow(int row) const
    {
        QStringList texts;
        for (int c = 0; c < titles.size(); ++c)
            texts.append(list.text(row, c));
        return texts;
    }

    ScriptedPrompter prompter;
    QWidget window;
    LedgerModel list;
    QLabel received, paid, balance;
    QString temp_, bin_, out_;

private:
    QByteArray savedPath_ = qgetenv("PATH");
    QByteArray savedTemp_ = qgetenv("TMPDIR");
    qint64 lastId_ = 0;
};

TEST_F(SpreadsheetExport, OpensTickedRowsUnderTheTitlesWithTheSummaryBelow)
{
    append({{u"Gig"_s, u"first"_s, 20}, {u"Rent"_s, u"second"_s, 5, 2}, {u"Job"_s, u"third"_s, 10}});
    tickAll();
    installFakeSpreadsheet();
    exportList();

    const QStringList arguments = launchArguments();
    ASSERT_EQ(arguments.size(), 3);
    EXPECT_EQ(arguments.mid(0, 2), (QStringList{u"--calc"_s, u"-n"_s}));
    const QFileInfo workbook(arguments[2]);
    EXPECT_EQ(workbook.suffix(), u"xlsx");
    EXPECT_EQ(QFileInfo(workbook.path()).path(), temp_);
    const QFile::Permissions ownerOnly = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
    const QFile::Permissions others =
        QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    EXPECT_EQ(QFile::permissions(workbook.path()) & (ownerOnly | others), ownerOnly) << "a private folder";

    const XlsxSheet sheet(out_ + u"/document.xlsx"_s);
    EXPECT_EQ(sheet.row(1, 9), titles);
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(sheet.row(row + 2, 9), listRow(row)) << "list row " << row;
    EXPECT_EQ(sheet.row(3, 9).mid(3),
              (QStringList{u"Rent"_s, u"Marrowfen"_s, u"Tobren"_s, u"Cash"_s, u"second"_s, u"Paid Out"_s}));
    EXPECT_TRUE(sheet.cells.value(u"A2"_s).isNumber);
    EXPECT_FALSE(sheet.cells.value(u"C2"_s).isNumber);
    EXPECT_EQ(sheet.usedRows(), (QList<int>{1, 2, 3, 4, 7}));
    EXPECT_EQ(sheet.row(7, 9), (QStringList{{}, {}, received.text(), {}, {}, paid.text(), {}, {}, balance.text()}));
    EXPECT_TRUE(prompter.messages.isEmpty());
    EXPECT_EQ(pointerKind(&window), pointerDefault);
}

TEST_F(SpreadsheetExport, UntickedRowsKeepTheirPlaceEmpty)
{
    append({{u"Gig"_s}, {u"Rent"_s}, {u"Job"_s}});
    const XlsxSheet none = exportedSheet();
    EXPECT_EQ(none.usedRows(), (QList<int>{1, 7}));
    EXPECT_EQ(none.row(1, 9), titles);
    EXPECT_EQ(none.text(u"C7"_s), received.text());
    EXPECT_EQ(none.text(u"F7"_s), paid.text());
    EXPECT_EQ(none.text(u"I7"_s), balance.text());

    QFile::remove(out_ + u"/arguments"_s);
    list.setTicked(1, true);
    const XlsxSheet middle = exportedSheet();
    EXPECT_EQ(middle.usedRows(), (QList<int>{1, 3, 7}));
    EXPECT_EQ(middle.text(u"D3"_s), u"Rent");
}

TEST_F(SpreadsheetExport, EmptyListMakesNoWorkbookAndSaysNothing)
{
    installFakeSpreadsheet();
    exportList();
    QTest::qWait(200);
    EXPECT_TRUE(prompter.messages.isEmpty());
    EXPECT_TRUE(leftInTemp().isEmpty());
    EXPECT_FALSE(QFile::exists(out_ + u"/arguments"_s));
}

TEST_F(SpreadsheetExport, WithoutSpreadsheetProgramSaysSoTwiceAndLeavesNoFile)
{
    append({{u"Gig"_s}});
    tickAll();
    exportList();
    ASSERT_EQ(prompter.messages.size(), 2);
    EXPECT_EQ(prompter.texts(), (QStringList{u"Excel is not installed on this computer. You need to have it installed "
                                             "to use this software without error."_s,
                                             u"Excel is not installed on this computer. You need to have it installed "
                                             "to use this feature."_s}));
    for (const ScriptedPrompter::Message& message : prompter.messages) {
        EXPECT_EQ(message.caption, appTitle());
        EXPECT_EQ(message.icon, MessageIcon::None);
    }
    EXPECT_TRUE(leftInTemp().isEmpty());
    EXPECT_EQ(pointerKind(&window), pointerDefault);
}

TEST_F(SpreadsheetExport, ValuesStayUnderTheirOwnTitles)
{
    append({{u"=1+1"_s, u""_s, 7, 2}, {u"Grüße aus Köln"_s, u"東京 → ½ € ✓ 😀"_s}, {u"Rent"_s, u"a=b==c"_s, 3, 0}});
    tickAll();
    const XlsxSheet sheet = exportedSheet();
    EXPECT_EQ(sheet.row(1, 9), titles) << "a first row without notes keeps the Notes title";
    EXPECT_EQ(sheet.text(u"D2"_s), u"1+1");
    EXPECT_EQ(sheet.text(u"H2"_s), u"");
    EXPECT_EQ(sheet.text(u"I2"_s), u"Paid Out");
    EXPECT_EQ(sheet.text(u"D3"_s), u"Grüße aus Köln");
    EXPECT_EQ(sheet.text(u"H3"_s), u"東京 → ½ € ✓ 😀");
    EXPECT_EQ(sheet.text(u"H4"_s), u"abc");
    EXPECT_EQ(sheet.text(u"I4"_s), u"") << "an unknown direction leaves In/Out empty";
    EXPECT_EQ(sheet.text(u"C7"_s), received.text());
}

TEST_F(SpreadsheetExport, CellThatCannotBeWrittenIsReportedAndTheExportGoesOn)
{
    append({{u"Gig"_s, QString(40000, u'x')}, {u"Rent"_s, u"short"_s}});
    tickAll();
    const XlsxSheet sheet = exportedSheet();
    const QStringList reports = prompter.errorReports();
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(reports[0].contains(u"in Quorvane2021/08/31.Form1.PushButton6_Click at line 162"_s))
        << reports[0].toStdString();
    EXPECT_EQ(sheet.text(u"H2"_s), u"");
    EXPECT_EQ(sheet.text(u"I2"_s), u"Received");
    EXPECT_EQ(sheet.text(u"H3"_s), u"short");
    EXPECT_EQ(sheet.text(u"I6"_s), balance.text());
    EXPECT_EQ(pointerKind(&window), pointerDefault);
}

TEST_F(SpreadsheetExport, RowsAddedWhileExportingAreExportedToo)
{
    append({{u"Gig"_s}, {u"Rent"_s}});
    tickAll();
    int pointerDuringExport = -1;
    // A ledger command clicked during the export: its refill appends while the hourglass shows.
    QTimer::singleShot(0, [&] {
        pointerDuringExport = pointerKind(&window);
        append({{u"Job"_s}, {u"Water Bill"_s}}, pointerDuringExport == pointerHourglass);
        tickAll();
    });
    const XlsxSheet sheet = exportedSheet();
    EXPECT_EQ(pointerDuringExport, pointerHourglass);
    EXPECT_EQ(sheet.usedRows(), (QList<int>{1, 2, 3, 4, 5, 8}));
    EXPECT_EQ(sheet.text(u"D5"_s), u"Water Bill");
    EXPECT_EQ(sheet.text(u"I8"_s), balance.text());
    EXPECT_EQ(pointerKind(&window), pointerDefault);
}

TEST_F(SpreadsheetExport, TenThousandTickedRows)
{
    QList<Entry> entries;
    for (int i = 0; i < 10000; ++i)
        entries.append({u"Reason %1"_s.arg(i), u"Note ü %1"_s.arg(i), i * 1.25, 1 + i % 2});
    append(entries);
    tickAll();
    const XlsxSheet sheet = exportedSheet();
    EXPECT_EQ(sheet.usedRows().size(), 10000 + 2);
    for (int row : {0, 1, 4999, 9998, 9999})
        EXPECT_EQ(sheet.row(row + 2, 9), listRow(row)) << "list row " << row;
    EXPECT_EQ(sheet.text(u"F10004"_s), paid.text());
    EXPECT_TRUE(prompter.messages.isEmpty());
}

} // namespace
