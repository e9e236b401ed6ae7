// The main window's commands, driven through its buttons on a real ledger and settings file.
#include "base/paths.h"
#include "ledgerlist/ledgermodel.h"
#include "settings/settings.h"
#include "store/programconnection.h"
#include "store/recordset.h"
#include "support/ledgerfixture.h"
#include "support/ledgerkinds.h"
#include "support/mainwindow.h"
#include "support/modal.h"
#include "support/printers.h"
#include "support/windowdriver.h"
#include "ui/main/ledgerhistory.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <QUndoStack>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class CommandsTest : public MainWindowTest
{
protected:
    LedgerModel& list() const { return *window.ledgerModel(); }
    void select(int row) { window.listView()->selectRow(row); }
    QString caption(int index) const { return summaryCaptions(window)[index]; }

    // Fills the entry window that is open and presses OK.
    static void fillAndSave(QWidget* entry, const QString& amount, bool paidOut)
    {
        for (int i = 1; i <= 4; ++i)
            combo(entry, i)->setCurrentIndex(0);
        control<QLineEdit>(entry, u"Text1"_s)->setText(amount);
        control<QRadioButton>(entry, paidOut ? u"Option2"_s : u"Option1"_s)->setChecked(true);
        press(entry, u"PushButton2"_s);
    }
};

} // namespace

TEST_F(CommandsTest, AddNewCancelledRefillsWithNoChange)
{
    listEntries({sampleEntry(u"a"_s, u"5"_s)});
    QString caption;
    whenModalOpens([&](QWidget* entry) {
        caption = entry->windowTitle();
        press(entry, u"PushButton1"_s);
    });
    press(&window, u"PushButton2"_s);
    EXPECT_EQ(caption, u"Add New");
    EXPECT_EQ(list().rowCount(), 1);
    EXPECT_TRUE(boxes.messages.isEmpty());
}

TEST_F(CommandsTest, AddNewSavedAddsARowAndChangesTheTotals)
{
    whenModalOpens([](QWidget* entry) { fillAndSave(entry, u"12.5"_s, false); });
    press(&window, u"PushButton2"_s);
    ASSERT_EQ(list().rowCount(), 1);
    EXPECT_EQ(boxes.texts(), QStringList{u"Record successfully saved."_s});
    EXPECT_EQ(caption(0), u"Received: $ 12.50");
    EXPECT_EQ(list().text(0, 3), u"Electric");
}

TEST_F(CommandsTest, EditSelectedChangesTheRowInPlace)
{
    listEntries({sampleEntry(u"first"_s, u"1"_s), sampleEntry(u"second"_s, u"2"_s)});
    select(1);
    QString caption, amount;
    whenModalOpens([&](QWidget* entry) {
        caption = entry->windowTitle();
        amount = control<QLineEdit>(entry, u"Text1"_s)->text();
        control<QLineEdit>(entry, u"Text1"_s)->setText(u"99"_s);
        press(entry, u"PushButton2"_s);
    });
    press(&window, u"PushButton1"_s);
    EXPECT_EQ(caption, u"Edit Data");
    EXPECT_EQ(amount, u"2");
    ASSERT_EQ(list().rowCount(), 2);
    EXPECT_EQ(list().text(1, 0), u"2");
    EXPECT_EQ(list().text(1, 2), u"$ 99.00");
    EXPECT_EQ(list().text(1, 3), u"second");
    EXPECT_EQ(list().text(0, 2), u"$ 1.00");
}

TEST_F(CommandsTest, DeleteSelectedRemovesTheRowAtOnceWithoutAQuestion)
{
    listEntries({sampleEntry(u"keep"_s, u"1"_s), sampleEntry(u"gone"_s, u"2"_s)});
    select(1);
    press(&window, u"PushButton3"_s);
    ASSERT_EQ(list().rowCount(), 1);
    EXPECT_EQ(list().text(0, 3), u"keep");
    EXPECT_EQ(caption(0), u"Received: $ 1.00");
    EXPECT_TRUE(boxes.messages.isEmpty());
}

TEST_F(CommandsTest, DuplicateSelectedMakesAnExactCopyWithANewId)
{
    Entry e = sampleEntry(u"O'Brien's \"rent\""_s, u"0"_s, Direction::PaidOut);
    e.fromCompany = u"D'Arcy"_s;
    e.notes = u"line one\nit's #01/02/2003#"_s;
    addEntry(e);
    Conn().execute(u"update tblData set amount = 0.1 + 0.2"_s);
    QLocale::setDefault(QLocale(u"de_DE"_s));
    window.ListData();
    select(0);
    press(&window, u"PushButton4"_s);
    EXPECT_TRUE(boxes.messages.isEmpty());
    ASSERT_EQ(list().rowCount(), 2);

    Recordset rs;
    rs.open(u"select count(*) as n, count(distinct id) as ids, "
            "count(distinct datercvd||reason||fromcompany||tocompany||paymentmethod||notes||paymenttype) as texts, "
            "min(amount) = max(amount) and max(amount) = 0.1 + 0.2 as exact from tblData"_s,
            Conn());
    EXPECT_EQ(rs.field(u"n").toInt(), 2);
    EXPECT_EQ(rs.field(u"ids").toInt(), 2);
    EXPECT_EQ(rs.field(u"texts").toInt(), 1);
    EXPECT_EQ(rs.field(u"exact").toInt(), 1);
    QStringList copy = rowTexts(&list(), 1), original = rowTexts(&list(), 0);
    EXPECT_NE(copy[0], original[0]);
    copy[0] = original[0];
    EXPECT_EQ(copy, original);
    // Both sides counted: the copy keeps its direction and amount.
    EXPECT_EQ(caption(1), u"Paid: $ 0,60");
}

// A NUL in any of its texts (stored by an older import) cannot be written into a copy.
TEST_F(CommandsTest, DuplicateOfAnEntryHoldingANulReportsAndAddsNothing)
{
    for (const QString& column : {u"reason"_s, u"fromcompany"_s, u"tocompany"_s, u"paymentmethod"_s, u"notes"_s}) {
        SCOPED_TRACE(column.toStdString());
        Conn().execute(u"delete from tblData"_s);
        boxes.messages.clear();
        addEntry(sampleEntry(u"a"_s, u"12.5"_s, Direction::PaidOut));
        storeNulInText(newestId(), column);
        window.ListData();
        select(0);
        press(&window, u"PushButton4"_s);

        ASSERT_EQ(boxes.errorReports().size(), 1);
        EXPECT_TRUE(boxes.errorReports()[0].startsWith(u"Texts may not contain the NUL character (U+0000).\r\n"_s));
        EXPECT_NE(boxes.errorReports()[0].indexOf(u"Form1.PushButton4_Click at line 108"), -1);
        EXPECT_EQ(entryCount(), 1);
        EXPECT_EQ(list().rowCount(), 1);
        EXPECT_EQ(window.history()->stack()->count(), 0) << "nothing to undo";
    }
}

// An entry counted neither as received nor as paid cannot be copied as one of them.
TEST_F(CommandsTest, DuplicateOfAnEntryOfNoDirectionReportsAndAddsNothing)
{
    for (const char* stored : {"0", "3", "null"}) {
        SCOPED_TRACE(stored);
        Conn().execute(u"delete from tblData"_s);
        boxes.messages.clear();
        addEntry(sampleEntry(u"a"_s, u"12.5"_s));
        Conn().execute(u"update tblData set paymenttype = "_s + QLatin1StringView(stored));
        window.ListData();
        select(0);
        press(&window, u"PushButton4"_s);

        ASSERT_EQ(boxes.errorReports().size(), 1);
        EXPECT_TRUE(boxes.errorReports()[0].contains(u"is neither Received nor Paid Out"_s));
        EXPECT_NE(boxes.errorReports()[0].indexOf(u"Form1.PushButton4_Click at line 108"), -1);
        EXPECT_EQ(entryCount(), 1);
    }
}

TEST_F(CommandsTest, WithAnEmptyListTheEntryCommandsDoNothing)
{
    bool opened = false;
    whenModalOpens([&](QWidget* modal) {
        opened = true;
        qobject_cast<QDialog*>(modal)->reject();
    });
    for (const QString& button : {u"PushButton1"_s, u"PushButton3"_s, u"PushButton4"_s})
        press(&window, button);
    QTest::qWait(50);
    EXPECT_FALSE(opened);
    EXPECT_TRUE(boxes.messages.isEmpty());
}

TEST_F(CommandsTest, WithRowsButNoSelectionTheCommandReportsAndStops)
{
    listEntries({sampleEntry(u"a"_s, u"1"_s)});
    window.listView()->clearSelection();
    for (const QString& button : {u"PushButton1"_s, u"PushButton3"_s, u"PushButton4"_s})
        press(&window, button);
    const QStringList reports = boxes.errorReports();
    ASSERT_EQ(reports.size(), 3);
    EXPECT_NE(reports[0].indexOf(u"Form1.PushButton1_Click at line 102"), -1);
    EXPECT_NE(reports[1].indexOf(u"Form1.PushButton3_Click at line 102"), -1);
    EXPECT_NE(reports[2].indexOf(u"Form1.PushButton4_Click at line 102"), -1);
    EXPECT_EQ(list().rowCount(), 1);
}

TEST_F(CommandsTest, ARowStaysSelectedAfterARefill)
{
    listEntries({sampleEntry(u"a"_s, u"1"_s), sampleEntry(u"b"_s, u"2"_s)});
    select(1);
    press(&window, u"PushButton4"_s);
    ASSERT_EQ(list().rowCount(), 3);
    press(&window, u"PushButton3"_s); // acts on the row that is still selected
    EXPECT_EQ(list().rowCount(), 2);
    EXPECT_TRUE(boxes.messages.isEmpty());
}

TEST_F(CommandsTest, HelpNamesTheContactPage)
{
    press(&window, u"PushButton8"_s);
    press(&window, u"PushButton8"_s);
    ASSERT_EQ(boxes.messages.size(), 2);
    EXPECT_TRUE(boxes.messages[0].text.startsWith(u"Questions? Please contact Team Marrowfen at "));
    EXPECT_TRUE(boxes.messages[0].text.endsWith(u"/contact/"));
    EXPECT_EQ(boxes.messages[0].caption, u"Quorvane");
    EXPECT_EQ(boxes.messages[0].icon, MessageIcon::None);
    EXPECT_EQ(boxes.messages[1].text, boxes.messages[0].text);
}

TEST_F(CommandsTest, CurrencyAfterTheAmountShowsAtOnceAndCancelChangesNothing)
{
    listEntries({sampleEntry(u"a"_s, u"1234.5"_s)});
    QString shownSymbol;
    bool shownBefore = false;
    whenModalOpens([&](QWidget* dialog) {
        shownSymbol = control<QLineEdit>(dialog, u"Text1"_s)->text();
        shownBefore = control<QRadioButton>(dialog, u"Option1"_s)->isChecked();
        control<QRadioButton>(dialog, u"Option2"_s)->setChecked(true);
        press(dialog, u"PushButton2"_s);
    });
    press(&window, u"PushButton7"_s);
    EXPECT_EQ(shownSymbol, u"$");
    EXPECT_TRUE(shownBefore);
    EXPECT_EQ(list().text(0, 2), u"1,234.50 $");
    EXPECT_EQ(caption(2), u"Balance: 1,234.50 $");

    whenModalOpens([](QWidget* dialog) {
        control<QLineEdit>(dialog, u"Text1"_s)->setText(u"Fr."_s);
        control<QRadioButton>(dialog, u"Option1"_s)->setChecked(true);
        press(dialog, u"PushButton1"_s);
    });
    press(&window, u"PushButton7"_s);
    EXPECT_EQ(GetSetting(u"CurrencySymbol"_s, u"?"_s), u"$");
    EXPECT_EQ(GetSetting(u"CurrencyBefore"_s, u"?"_s), u"0");
    EXPECT_EQ(list().text(0, 2), u"1,234.50 $");
    EXPECT_TRUE(boxes.messages.isEmpty());
}

TEST_F(CommandsTest, ButtonsStandWhereDesignedAndTheListStretches)
{
    struct Design
    {
        const char* name;
        const char16_t* caption;
        int left, top;
    } buttons[] = {{"PushButton2", u"Add New", 120, 2800},
                   {"PushButton4", u"Duplicate Selected", 3000, 2800},
                   {"PushButton1", u"Edit Selected", 5880, 2800},
                   {"PushButton3", u"Delete Selected", 8760, 2800},
                   {"PushButton7", u"Currency Option", 120, 3310},
                   {"PushButton5", u"Create/Print Report", 3000, 3310},
                   {"PushButton6", u"Save Database To Excel", 5880, 3310},
                   {"PushButton8", u"Help", 8760, 3310}};
    window.show();
    for (const Design& d : buttons) {
        const auto* button = control<QPushButton>(&window, QString::fromLatin1(d.name));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), QString::fromUtf16(d.caption));
        EXPECT_EQ(button->geometry(), QRect(d.left / 15, d.top / 15, 2760 / 15, 405 / 15)) << d.name;
    }
    const QRect list = window.listView()->geometry();
    EXPECT_EQ(list, QRect(8, 8, 11400 / 15, 2595 / 15));

    window.resize(window.width() + 200, window.height() + 100);
    EXPECT_EQ(window.listView()->geometry(), list.adjusted(0, 0, 200, 100));
    const auto* help = control<QPushButton>(&window, u"PushButton8"_s);
    EXPECT_EQ(help->geometry().topLeft(), QPoint(8760 / 15, 3310 / 15 + 100));
    for (const QLabel* label : window.summaryLabels())
        EXPECT_LE(label->geometry().right(), label->parentWidget()->width());
}

namespace {

// The main window on a ledger of either kind, with another program on the same ledger.
class CommandsBesideAnotherProgram : public CommandsTest, public testing::WithParamInterface<LedgerKind>
{
protected:
    void SetUp() override
    {
        CommandsTest::SetUp();
        const QString ledger = GetParam() == LedgerKind::File ? connectionString(SpecialFolderPath(35))
                                                              : openFreshLedger(LedgerKind::Server);
        other.open(ledger);
        listEntries({sampleEntry(u"keep"_s, u"1"_s), sampleEntry(u"gone"_s, u"2"_s)});
    }

    Connection other;
};

} // namespace

TEST_P(CommandsBesideAnotherProgram, AnEntryDeletedElsewhereIsSaidToBeGoneAndTheListFollows)
{
    struct Case
    {
        const char* button;
        const char16_t* says;
    };
    const Case cases[] = {
        {"PushButton1", u"This entry is no longer in the ledger: another program deleted it, so there is nothing to "
                        u"edit."},
        {"PushButton3", u"This entry was already deleted by another program."},
        {"PushButton4", u"This entry is no longer in the ledger: another program deleted it, so there is nothing to "
                        u"duplicate."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        boxes.messages.clear();
        window.ListData();
        select(1);
        bool opened = false;
        whenModalOpens([&](QWidget* modal) {
            opened = true;
            qobject_cast<QDialog*>(modal)->reject();
        });
        other.execute(u"delete from tblData where reason = 'gone'"_s);
        press(&window, QString::fromLatin1(c.button));
        QTest::qWait(50);

        EXPECT_FALSE(opened);
        EXPECT_EQ(boxes.texts(), QStringList{QString::fromUtf16(c.says)});
        EXPECT_EQ(entryCount(), 1);
        ASSERT_EQ(list().rowCount(), 1);
        EXPECT_EQ(list().text(0, 3), u"keep");
        addEntry(sampleEntry(u"gone"_s, u"2"_s));
    }
}

TEST_P(CommandsBesideAnotherProgram, AnEntryDeletedUnderTheOpenEditWindowIsNotSavedAndTheListFollows)
{
    select(1);
    QStringList said;
    bool stillOpen = false;
    whenModalOpens([&](QWidget* entry) {
        other.execute(u"delete from tblData where reason = 'gone'"_s);
        control<QLineEdit>(entry, u"Text1"_s)->setText(u"99"_s);
        press(entry, u"PushButton2"_s);
        said = boxes.texts();
        stillOpen = entry->isVisible();
        press(entry, u"PushButton1"_s);
    });
    press(&window, u"PushButton1"_s);
    ASSERT_EQ(said.size(), 1);
    EXPECT_TRUE(said[0].startsWith(u"Another program deleted this entry after you opened it, so nothing was saved."_s));
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(entryCount(), 1);
    ASSERT_EQ(list().rowCount(), 1);
    EXPECT_EQ(list().text(0, 3), u"keep");
}

INSTANTIATE_TEST_SUITE_P(Engines, CommandsBesideAnotherProgram, testing::Values(LedgerKind::File, LedgerKind::Server),
                         ledgerKindName);
