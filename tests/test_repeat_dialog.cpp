// The Repeat dialog: the rule it gives back, what it shows of it, and the rules it will not accept.
#include "base/clock.h"
#include "support/scriptedprompter.h"
#include "ui/repeating/repeatdialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

RepeatRule monthlyRent()
{
    RepeatRule rule;
    rule.entry.reason = u"Rent"_s;
    rule.entry.amountText = u"800"_s;
    rule.entry.direction = Direction::PaidOut;
    rule.start = QDate(2027, 1, 31);
    rule.dayOfMonth = 31;
    return rule;
}

template <class T> T* control(const QWidget& dialog, const char* name)
{
    return dialog.findChild<T*>(QString::fromLatin1(name));
}

} // namespace

TEST(RepeatDialog, GivesBackTheRuleAsChosenKeepingTheEntry)
{
    const ScopedToday today(QDate(2027, 1, 10));
    RepeatDialog dialog(monthlyRent(), nullptr);
    EXPECT_EQ(control<QLabel>(dialog, "RepeatSummary")->text(),
              u"Paid Out, Rent: Every month on the 31st.\nNext: 31/01/2027, 28/02/2027, 31/03/2027"_s
                  .replace(u"31/01/2027"_s, QLocale().toString(QDate(2027, 1, 31), QLocale::ShortFormat))
                  .replace(u"28/02/2027"_s, QLocale().toString(QDate(2027, 2, 28), QLocale::ShortFormat))
                  .replace(u"31/03/2027"_s, QLocale().toString(QDate(2027, 3, 31), QLocale::ShortFormat)));

    control<QSpinBox>(dialog, "RepeatEvery")->setValue(2);
    control<QComboBox>(dialog, "RepeatUnit")->setCurrentIndex(1); // weeks
    EXPECT_FALSE(control<QSpinBox>(dialog, "RepeatDay")->isEnabled()) << "weeks have no day of the month";
    control<QRadioButton>(dialog, "RepeatEndAfter")->setChecked(true);
    control<QSpinBox>(dialog, "RepeatEndCount")->setValue(10);
    const RepeatRule rule = dialog.rule();
    EXPECT_EQ(rule.every, 2);
    EXPECT_EQ(rule.unit, RepeatUnit::Weeks);
    EXPECT_EQ(rule.end, RepeatEnd::AfterCount);
    EXPECT_EQ(rule.endCount, 10);
    EXPECT_EQ(rule.start, QDate(2027, 1, 31));
    EXPECT_EQ(rule.entry.reason, u"Rent"_s);
    EXPECT_EQ(rule.entry.direction, Direction::PaidOut);

    control<QComboBox>(dialog, "RepeatUnit")->setCurrentIndex(2); // months
    control<QCheckBox>(dialog, "RepeatLastDay")->setChecked(true);
    EXPECT_EQ(dialog.rule().dayOfMonth, RepeatRule::lastDayOfMonth);
}

TEST(RepeatDialog, ARuleThatCannotBeKeptIsNotAccepted)
{
    ScriptedPrompter boxes;
    RepeatRule rule = monthlyRent();
    rule.end = RepeatEnd::OnDate;
    rule.endDate = QDate(2027, 6, 30);
    RepeatDialog dialog(rule, nullptr);
    control<QDateEdit>(dialog, "RepeatEndDate")->setDate(QDate(2026, 12, 31));
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Rejected) << "still open";
    EXPECT_EQ(boxes.texts(), QStringList{u"This rule ends before it starts, so it would never add an entry."_s});
    control<QDateEdit>(dialog, "RepeatEndDate")->setDate(QDate(2027, 6, 30));
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.rule().endDate, QDate(2027, 6, 30));
}
