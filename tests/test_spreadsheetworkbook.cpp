// The workbook the export writes: its private folder, its cells and its fitted columns.
#include "output/spreadsheet/spreadsheetprogram.h"
#include "output/spreadsheet/spreadsheetworkbook.h"
#include "support/ledgerfixture.h"
#include "support/printers.h"
#include "support/scopedenv.h"
#include "support/xlsxreader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class SpreadsheetWorkbookTest : public testing::Test
{
protected:
    QStringList leftInTemp() const { return QDir(temp_).entryList(QDir::AllEntries | QDir::NoDotAndDotDot); }

    const QString temp_ = homeFolder(u"tmp"_s);

private:
    const ScopedEnv tempDir_{"TMPDIR", QFile::encodeName(temp_)};
};

TEST_F(SpreadsheetWorkbookTest, LivesInAPrivateFolderThatGoesUnlessShown)
{
    {
        SpreadsheetWorkbook book;
        book.setText(1, 1, u"ID"_s);
        const QStringList folders = leftInTemp();
        ASSERT_EQ(folders.size(), 1);
        const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther |
                                          QFile::WriteOther | QFile::ExeOther;
        EXPECT_EQ(QFile::permissions(temp_ + u'/' + folders[0]) & others, QFile::Permissions());
    }
    EXPECT_TRUE(leftInTemp().isEmpty()) << "dropped unsaved";

    {
        SpreadsheetWorkbook book;
        EXPECT_TRUE(QFile::exists(book.save()));
    }
    EXPECT_TRUE(leftInTemp().isEmpty()) << "saved but never shown";

    {
        SpreadsheetWorkbook book;
        EXPECT_THROW(book.show(SpreadsheetProgram{temp_ + u"/missingcalc"_s, {u"%f"_s}}), std::exception);
    }
    EXPECT_TRUE(leftInTemp().isEmpty()) << "the program could not start";
}

TEST_F(SpreadsheetWorkbookTest, AStopAskedWhileTheFileIsWrittenShowsNothingAndLeavesNothing)
{
    int asked = 0;
    {
        SpreadsheetWorkbook book;
        for (int row = 1; row <= 20000; ++row)
            book.setText(row, 1, u"Row %1 with a little text to compress"_s.arg(row));
        const SpreadsheetProgram never{temp_ + u"/missingcalc"_s, {u"%f"_s}};
        EXPECT_THROW(book.show(never, [&](qint64) { return ++asked > 1; }), Cancelled)
            << "and not the failure to start the program: it is never started";
    }
    EXPECT_GE(asked, 1);
    EXPECT_TRUE(leftInTemp().isEmpty());
}

TEST_F(SpreadsheetWorkbookTest, WritesCellsWhereTold)
{
    SpreadsheetWorkbook book;
    book.setText(1, 1, u"ID"_s);
    book.setText(1, 2, u""_s);
    book.setText(1, 3, u"=SUM(A1:A2)"_s);
    book.setNumber(2, 1, 42);
    book.setText(2, 27, u"Ærø"_s);
    EXPECT_THROW(book.setText(4, 1, QString(32768, u'x')), std::exception);
    // A failed cell leaves the row where it was; the limit counts characters, not bytes or halves
    // of a surrogate pair.
    book.setText(3, 2, QString(32767, u'é'));
    book.setText(3, 3, u"😀"_s.repeated(16384));
    EXPECT_THROW(book.setText(0, 1, u"above the sheet"_s), std::exception);
    EXPECT_THROW(book.setText(4, 16385, u"right of the sheet"_s), std::exception);
    book.setText(5, 1, u"after the failures"_s);
    EXPECT_THROW(book.setText(2, 2, u"rows go top to bottom"_s), std::exception);

    const XlsxSheet sheet(book.save());
    EXPECT_EQ(sheet.cells.keys(), (QStringList{u"A1"_s, u"A2"_s, u"A5"_s, u"AA2"_s, u"B3"_s, u"C1"_s, u"C3"_s}));
    EXPECT_EQ(sheet.text(u"B3"_s), QString(32767, u'é'));
    EXPECT_EQ(sheet.text(u"C3"_s).size(), 32768);
    EXPECT_EQ(sheet.text(u"C1"_s), u"=SUM(A1:A2)") << "a text stays a text";
    EXPECT_FALSE(sheet.cells.value(u"C1"_s).isNumber);
    EXPECT_EQ(sheet.text(u"A2"_s), u"42");
    EXPECT_TRUE(sheet.cells.value(u"A2"_s).isNumber);
    EXPECT_EQ(sheet.text(u"AA2"_s), u"Ærø");
    EXPECT_EQ(sheet.text(u"A5"_s), u"after the failures");
}

TEST_F(SpreadsheetWorkbookTest, FitsColumnsToTheLongestText)
{
    SpreadsheetWorkbook book;
    book.setText(1, 1, u"ID"_s);
    book.setText(1, 2, u"Reason"_s);
    book.setNumber(2, 1, 1234567);
    book.setText(2, 2, u"Guitar Teaching"_s);
    book.setText(2, 4, QString(500, u'n'));
    book.setText(3, 2, u"Gig"_s);
    book.fitColumns();

    const XlsxSheet sheet(book.save());
    // A spreadsheet stores a width with a little padding of its own.
    EXPECT_NEAR(sheet.columnWidth(1), 7 + 2, 1);
    EXPECT_NEAR(sheet.columnWidth(2), 15 + 2, 1);
    EXPECT_EQ(sheet.columnWidth(3), 0) << "an empty column keeps the default width";
    EXPECT_GT(sheet.columnWidth(4), 40);
    EXPECT_LT(sheet.columnWidth(4), 80) << "a long note does not push everything off screen";
}

} // namespace
