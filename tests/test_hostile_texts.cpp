// Hostile texts typed by a user travel every road: the entry window, the list, a duplicate, the
// report's staging table and the spreadsheet export, and come back exactly.
#include "ledgerlist/ledgermodel.h"
#include "store/programconnection.h"
#include "store/recordset.h"
#include "store/statements.h"
#include "support/fakespreadsheet.h"
#include "support/ledgerfixture.h"
#include "support/mainwindow.h"
#include "support/modal.h"
#include "support/windowdriver.h"
#include "support/xlsxreader.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTableView>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QStringList hostileTexts()
{
    QStringList texts = {u"O'Brien"_s,
                         u"''"_s,
                         u"'"_s,
                         u"'''; --"_s,
                         u"\"double\""_s,
                         u"`back`"_s,
                         u"#01/02/2003#"_s,
                         u"CDate(#01/02/2003#)"_s,
                         u"#13/45/2003#"_s,
                         u"#"_s,
                         u"-- comment"_s,
                         u"/* block */"_s,
                         u"*/"_s,
                         u"'; drop table tblData; --"_s,
                         u"') ; delete from tblData where ('1'='1"_s,
                         u"select * from tblData"_s,
                         u"NULL"_s,
                         u"null"_s,
                         u"[Date]"_s,
                         u"]"_s,
                         u"CDbl('1')"_s,
                         u"|"_s,
                         u"a|b"_s,
                         u"||"_s,
                         u"="_s,
                         u"=1+1"_s,
                         u"a=b=c"_s,
                         u"=HYPERLINK(\"x\")"_s,
                         u"tab\there"_s,
                         u"line\nbreak"_s,
                         u"crlf\r\nline"_s,
                         u"\r"_s,
                         u"  leading and trailing  "_s,
                         u" "_s,
                         u"%s %n %d"_s,
                         u"\\"_s,
                         u"\\' escaped"_s,
                         u"$1,234.50"_s,
                         u"Zoë naïve café"_s,
                         u"Ærøskøbing"_s,
                         u"Привет"_s,
                         u"中文测试"_s,
                         u"日本語テキスト"_s,
                         u"🎸🎹"_s,
                         u"👨‍👩‍👧‍👦"_s,
                         u"שלום עולם"_s,
                         u"مرحبا بالعالم"_s,
                         u"\u202Eright-to-left override"_s,
                         u"\u200Bzero width"_s,
                         u"\u00A0no-break\u202F"_s,
                         u"<xml attr=\"1\">&amp;</xml>"_s,
                         u"_x0041_"_s,
                         u"\u0001\u0002 control \u001F"_s,
                         u"\u007F delete"_s,
                         u"1e308"_s,
                         u"-0"_s};
    texts.append(QString(300, u'x'));
    return texts;
}

// The notes box holds line ends as "\n", whatever was typed or pasted.
QString asNotesBoxHoldsIt(const QString& text)
{
    return QString(text).replace(u"\r\n"_s, u"\n"_s).replace(u'\r', u'\n');
}

// The spreadsheet writes every value but the id with its "=" removed.
QString exported(const QString& text)
{
    return QString(text).remove(u'=');
}

class HostileTexts : public MainWindowTest
{
protected:
    // Adds an entry through the entry window, its reason, payer and notes all `text`.
    void addThroughEntryWindow(const QString& text, int direction)
    {
        boxes.answers = {text, text};
        whenModalOpens([&](QWidget* entry) {
            press(entry, u"PushButton3"_s);
            press(entry, u"PushButton5"_s);
            pick(combo(entry, 1), text);
            pick(combo(entry, 2), text);
            combo(entry, 3)->setCurrentIndex(0);
            combo(entry, 4)->setCurrentIndex(0);
            control<QLineEdit>(entry, u"Text1"_s)->setText(u"12.5"_s);
            control<QPlainTextEdit>(entry, u"Text2"_s)->setPlainText(text);
            control<QRadioButton>(entry, direction == 1 ? u"Option1"_s : u"Option2"_s)->setChecked(true);
            press(entry, u"PushButton2"_s);
        });
        press(&window, u"PushButton2"_s);
    }
};

} // namespace

TEST_F(HostileTexts, EveryTextComesBackExactlyOnEveryRoad)
{
    const QStringList texts = hostileTexts();
    ASSERT_GE(texts.size(), 50);
    for (int i = 0; i < texts.size(); ++i)
        addThroughEntryWindow(texts[i], 1 + i % 2);
    EXPECT_TRUE(boxes.errorReports().isEmpty()) << boxes.errorReports().join(u"\n").toStdString();
    LedgerModel& list = *window.ledgerModel();
    ASSERT_EQ(list.rowCount(), texts.size());
    for (int i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(list.text(i, 3), texts[i]) << i;
        EXPECT_EQ(list.text(i, 4), texts[i]) << i;
        EXPECT_EQ(list.text(i, 7), asNotesBoxHoldsIt(texts[i])) << i;
    }

    // Duplicate every entry.
    for (int i = 0; i < texts.size(); ++i) {
        window.listView()->selectRow(i);
        press(&window, u"PushButton4"_s);
    }
    ASSERT_EQ(list.rowCount(), 2 * texts.size());
    for (int i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(list.text(texts.size() + i, 3), texts[i]) << i;
        EXPECT_EQ(list.text(texts.size() + i, 7), asNotesBoxHoldsIt(texts[i])) << i;
    }

    // Stage the report and read the staging rows back.
    whenModalOpens([](QWidget* preview) { preview->close(); });
    press(&window, u"PushButton5"_s);
    Recordset rs;
    rs.open(selectReport(), Conn());
    QStringList payers;
    for (; !rs.eof(); rs.moveNext())
        payers.append(rs.field(u"Payer").toString());
    EXPECT_EQ(payers, texts + texts);

    // Export every row to the spreadsheet.
    const FakeSpreadsheetHome spreadsheet;
    spreadsheet.installProgram();
    tickAll(window);
    press(&window, u"PushButton6"_s);
    ASSERT_FALSE(spreadsheet.launchArguments().isEmpty());
    const XlsxSheet sheet(spreadsheet.openedWorkbook());
    for (int i = 0; i < 2 * texts.size(); ++i) {
        const QString text = texts[i % texts.size()];
        EXPECT_EQ(sheet.text(u"D"_s + QString::number(i + 2)), exported(text)) << i;
        EXPECT_EQ(sheet.text(u"H"_s + QString::number(i + 2)), exported(asNotesBoxHoldsIt(text))) << i;
    }
    EXPECT_TRUE(boxes.errorReports().isEmpty()) << boxes.errorReports().join(u"\n").toStdString();
}

TEST_F(HostileTexts, AHundredThousandCharacterNoteIsKeptWhole)
{
    const QString notes = QString(100000, u'n') + u"'end"_s;
    addThroughEntryWindow(u"long"_s, 1);
    Conn().execute(u"update tblData set notes = "_s + quoteText(notes));
    window.ListData();
    EXPECT_EQ(window.ledgerModel()->text(0, 7), notes);
    window.listView()->selectRow(0);
    press(&window, u"PushButton4"_s);
    EXPECT_EQ(window.ledgerModel()->text(1, 7), notes);
    EXPECT_TRUE(boxes.errorReports().isEmpty());
}

TEST_F(HostileTexts, ANulCharacterIsRefusedWithAClearMessageAndTheWindowKeepsTheInput)
{
    QString notesAfter;
    boxes.answers = {};
    whenModalOpens([&](QWidget* entry) {
        for (int i = 1; i <= 4; ++i)
            combo(entry, i)->setCurrentIndex(0);
        control<QLineEdit>(entry, u"Text1"_s)->setText(u"1"_s);
        auto* notes = control<QPlainTextEdit>(entry, u"Text2"_s);
        notes->setPlainText(u"before\0after"_s);
        press(entry, u"PushButton2"_s);
        notesAfter = notes->toPlainText();
        press(entry, u"PushButton1"_s);
    });
    press(&window, u"PushButton2"_s);
    ASSERT_EQ(boxes.errorReports().size(), 1);
    EXPECT_NE(boxes.errorReports()[0].indexOf(u"NUL"), -1) << boxes.errorReports()[0].toStdString();
    EXPECT_NE(boxes.errorReports()[0].indexOf(u"Form2.PushButton2_Click at line 128"), -1);
    EXPECT_EQ(notesAfter.size(), 12);
    EXPECT_EQ(window.ledgerModel()->rowCount(), 0);
}
