// Repeating entries through the real window: a rule made from an entry, its occurrences offered
// when they fall due, added as one Undo step, or skipped for good.
#include "base/clock.h"
#include "repeating/repeatstore.h"
#include "store/programconnection.h"
#include "support/ledgerfixture.h"
#include "support/mainwindow.h"
#include "support/modal.h"
#include "ui/main/ledgerhistory.h"

#include <QDialog>
#include <QPushButton>
#include <QTableView>
#include <QUndoStack>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class RepeatingWindowTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        Entry rent = sampleEntry(u"Rent"_s, u"800"_s, Direction::PaidOut);
        rent.date = QDate(2026, 12, 31);
        listEntries({rent});
        window.listView()->selectRow(0);
    }
    // Answers the next modal window with its button `name`, or accepts it when it has none.
    static void answerNextModal(const QString& name)
    {
        whenModalOpens([name](QWidget* modal) {
            if (auto* button = modal->findChild<QPushButton*>(name))
                button->click();
            else
                qobject_cast<QDialog*>(modal)->accept();
        });
    }
    RepeatStore store() const { return RepeatStore(Conn()); }

    std::optional<ScopedToday> today_{std::in_place, QDate(2027, 1, 10)};
};

} // namespace

TEST_F(RepeatingWindowTest, ARuleFromAnEntryIsOfferedWhenDueAddedAsOneStepAndUndoneAsOne)
{
    answerNextModal(u"accept"_s);
    window.repeatSelected();
    ASSERT_EQ(store().rules().size(), 1u);
    const RepeatRule rule = store().rules().front();
    EXPECT_EQ(rule.start, QDate(2027, 1, 31));
    EXPECT_EQ(rule.dayOfMonth, 31);
    EXPECT_EQ(rule.entry.reason, u"Rent"_s);
    EXPECT_EQ(entryCount(), 1) << "nothing is due on the 10th of January";

    // The next start, three months on: January, February and March are due.
    today_.emplace(QDate(2027, 4, 2));
    answerNextModal(u"RepeatingAdd"_s);
    window.offerDueEntries();
    EXPECT_EQ(entryCount(), 4);
    EXPECT_TRUE(store().dueOccurrences(QDate(2027, 4, 2)).empty());
    EXPECT_EQ(window.listView()->selectionModel()->selectedRows().size(), 1);

    window.history()->stack()->undo();
    EXPECT_EQ(entryCount(), 1) << "Ctrl+Z takes the whole posting back";
    EXPECT_EQ(store().dueOccurrences(QDate(2027, 4, 2)).size(), 3u) << "and they are due again";

    answerNextModal(u"RepeatingSkip"_s);
    window.offerDueEntries();
    EXPECT_EQ(entryCount(), 1);
    EXPECT_TRUE(store().dueOccurrences(QDate(2027, 4, 2)).empty()) << "skipped for good";
}

TEST_F(RepeatingWindowTest, ClosingTheOfferLeavesTheOccurrencesForNextTime)
{
    RepeatRule rule;
    rule.entry = sampleEntry(u"Salary"_s, u"2000"_s, Direction::Received);
    rule.start = QDate(2027, 1, 1);
    rule.dayOfMonth = 1;
    store().add(rule);
    whenModalOpens([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    window.offerDueEntries();
    EXPECT_EQ(entryCount(), 1);
    EXPECT_EQ(store().dueOccurrences(QDate(2027, 1, 10)).size(), 1u);
}
