// Undo and redo of the main window's commands, through the real window, its buttons and its shortcuts,
// on a ledger file and on a server ledger: every step gives back the ledger exactly, ids included.
#include "base/paths.h"
#include "ledgerlist/ledgermodel.h"
#include "store/connection.h"
#include "support/ledgerelsewhere.h"
#include "support/ledgerfixture.h"
#include "support/ledgerkinds.h"
#include "support/modal.h"
#include "support/printers.h"
#include "support/scriptedprompter.h"
#include "ui/main/form1.h"
#include "ui/main/ledgerhistory.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QUndoStack>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class UndoTest : public testing::TestWithParam<LedgerKind>
{
public:
    void SetUp() override
    {
        window.Form_Load();
        // The window works on whatever ledger the program's connection has open.
        location = GetParam() == LedgerKind::Server ? openFreshLedger(LedgerKind::Server)
                                                    : connectionString(SpecialFolderPath(35));
        // Rows with the values a copy or a re-insert could most easily get wrong.
        runElsewhereOn(location, u"INSERT INTO tblData (datercvd, reason, fromcompany, tocompany, amount, "
                                 "paymentmethod, notes, paymenttype) VALUES ('2021-03-05', 'Rent ''n'' ü', "
                                 "'Marrowfen', NULL, 0.30000000000000004, 'Cash', 'two\nlines', 2)"_s);
        addEntry(sampleEntry(u"Gig"_s, u"1234.5"_s));
        addEntry(sampleEntry(u"Water Bill"_s, u"17"_s, Direction::PaidOut));
        window.ListData();
        window.show();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    LedgerSnapshot ledger() const { return snapshotElsewhere(location); }
    void press(const QString& button) { window.findChild<QPushButton*>(button)->click(); }
    void select(int row) { window.listView()->selectRow(row); }
    int selectedRow() const { return window.listView()->selectionModel()->selectedRows().value(0).row(); }
    // Keys go to the window as the desktop delivers them, with the focus on the list, as after a
    // click on it.
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QApplication::setActiveWindow(&window);
        window.listView()->setFocus();
        QTest::keyClick(window.windowHandle(), key, modifiers);
    }
    void undoKey() { key(Qt::Key_Z, Qt::ControlModifier); }
    void redoKey() { key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier); }
    void redoKeyY() { key(Qt::Key_Y, Qt::ControlModifier); }

    // Opens the entry window with `button` and saves it with the amount changed (and all four lists
    // picked, for a new entry).
    void saveEntry(const QString& button, const QString& amount)
    {
        whenModalOpens([amount](QWidget* entry) {
            for (int i = 1; i <= 4; ++i) {
                auto* list = entry->findChild<QComboBox*>(u"Combo%1"_s.arg(i));
                if (list->currentIndex() < 0)
                    list->setCurrentIndex(0);
            }
            entry->findChild<QLineEdit*>(u"Text1"_s)->setText(amount);
            entry->findChild<QPushButton*>(u"PushButton2"_s)->click();
        });
        press(button);
    }

    ScriptedPrompter boxes;
    Form1 window;
    QString location;
};

} // namespace

TEST_P(UndoTest, EachCommandIsUndoneAndRedoneExactlyWithTheShortcuts)
{
    const struct
    {
        const char* name;
        std::function<void(UndoTest&)> command;
        int rowsAfter;
    } commands[] = {
        {"delete", [](UndoTest& t) { t.select(0), t.press(u"PushButton3"_s); }, 2},
        {"duplicate", [](UndoTest& t) { t.select(0), t.press(u"PushButton4"_s); }, 4},
        {"edit", [](UndoTest& t) { t.select(1), t.saveEntry(u"PushButton1"_s, u"99.25"_s); }, 3},
        {"add", [](UndoTest& t) { t.saveEntry(u"PushButton2"_s, u"7"_s); }, 4},
    };
    for (const auto& c : commands) {
        SCOPED_TRACE(c.name);
        const LedgerSnapshot before = ledger();
        c.command(*this);
        const LedgerSnapshot after = ledger();
        ASSERT_NE(after, before);
        ASSERT_EQ(window.ledgerModel()->rowCount(), c.rowsAfter);

        undoKey();
        EXPECT_EQ(ledger(), before);
        EXPECT_EQ(window.ledgerModel()->rowCount(), 3) << "the list is refilled";
        redoKey();
        EXPECT_EQ(ledger(), after);
        EXPECT_EQ(window.ledgerModel()->rowCount(), c.rowsAfter);
        undoKey();
        EXPECT_EQ(ledger(), before);
        redoKeyY();
        EXPECT_EQ(ledger(), after);
        undoKey();
        ASSERT_EQ(ledger(), before);
    }
    EXPECT_TRUE(boxes.errorReports().isEmpty());
}

TEST_P(UndoTest, UndoSelectsTheEntryConcernedAndKeepsTheTotalsRight)
{
    const QString paid = window.summaryLabels()[1]->text();
    select(0);
    press(u"PushButton3"_s);
    EXPECT_NE(window.summaryLabels()[1]->text(), paid);
    undoKey();
    EXPECT_EQ(window.summaryLabels()[1]->text(), paid);
    EXPECT_EQ(window.ledgerModel()->text(selectedRow(), 0), u"1");

    select(2);
    press(u"PushButton4"_s); // the copy becomes id 4
    select(0);
    undoKey();
    redoKey();
    EXPECT_EQ(window.ledgerModel()->text(selectedRow(), 0), u"4");
}

TEST_P(UndoTest, TwoHundredRandomCommandsUndoneAndRedoneGiveBothLedgersBack)
{
    QRandomGenerator random(20261208);
    const LedgerSnapshot start = ledger();
    int steps = 0;
    for (int i = 0; i < 200; ++i) {
        const int rows = window.ledgerModel()->rowCount();
        if (rows > 0)
            select(int(random.bounded(rows)));
        switch (rows == 0 ? 3 : random.bounded(4)) {
        case 0:
            press(u"PushButton3"_s);
            break;
        case 1:
            press(u"PushButton4"_s);
            break;
        case 2:
            saveEntry(u"PushButton1"_s, QString::number(random.bounded(100000) / 100.0));
            break;
        default:
            saveEntry(u"PushButton2"_s, QString::number(random.bounded(100000) / 100.0));
            break;
        }
        ++steps;
    }
    const LedgerSnapshot end = ledger();
    QUndoStack* stack = window.history()->stack();
    ASSERT_EQ(stack->count(), steps);
    for (int i = 0; i < steps; ++i)
        window.history()->undoAction()->trigger();
    EXPECT_EQ(ledger(), start);
    for (int i = 0; i < steps; ++i)
        window.history()->redoAction()->trigger();
    EXPECT_EQ(ledger(), end);
    EXPECT_TRUE(boxes.errorReports().isEmpty());
}

TEST_P(UndoTest, AStepThatNoLongerAppliesSaysSoAndChangesNothing)
{
    select(1);
    saveEntry(u"PushButton1"_s, u"50"_s);
    // Another program changes the same entry meanwhile.
    runElsewhereOn(location, u"UPDATE tblData SET amount = 60 WHERE id = 2"_s);
    const LedgerSnapshot changedElsewhere = ledger();
    boxes.messages.clear();
    undoKey();
    EXPECT_EQ(ledger(), changedElsewhere);
    ASSERT_EQ(boxes.texts().size(), 1);
    EXPECT_TRUE(boxes.texts()[0].contains(u"changed or removed elsewhere"_s)) << boxes.texts()[0].toStdString();
    EXPECT_EQ(window.history()->stack()->count(), 0) << "a step that can never apply leaves the history";

    // A deleted entry whose id was taken in the meantime is not brought back over the new one.
    select(0);
    press(u"PushButton3"_s);
    runElsewhereOn(location, u"INSERT INTO tblData (id, reason, amount, paymenttype) VALUES (1, 'x', 1, 1)"_s);
    const LedgerSnapshot taken = ledger();
    undoKey();
    EXPECT_EQ(ledger(), taken);
}

TEST_P(UndoTest, TheListsContextMenuOffersUndoAndRedo)
{
    select(0);
    press(u"PushButton3"_s);
    QStringList offered;
    QTimer::singleShot(0, [&] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            for (QAction* action : menu->actions())
                offered.append(action->text());
            menu->close();
        }
    });
    key(Qt::Key_Menu);
    ASSERT_GE(offered.size(), 2);
    EXPECT_TRUE(offered[0].startsWith(u"Undo"_s)) << offered[0].toStdString();
    EXPECT_TRUE(offered[1].startsWith(u"Redo"_s)) << offered[1].toStdString();
}

INSTANTIATE_TEST_SUITE_P(Engines, UndoTest, testing::Values(LedgerKind::File, LedgerKind::Server), ledgerKindName);
