// Opening the entry window: pick lists from the settings, add mode, and loading an entry in edit mode.
#include "base/clock.h"
#include "settings/settings.h"
#include "store/programconnection.h"
#include "support/ledgerfixture.h"
#include "support/printers.h"
#include "support/scriptedprompter.h"
#include "support/windowdriver.h"
#include "ui/entry/form2.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

void expectAddModeValues(const Form2& form, QDate day)
{
    for (int number = 1; number <= 4; ++number)
        EXPECT_EQ(combo(&form, number)->currentIndex(), -1) << number;
    EXPECT_EQ(control<QLineEdit>(&form, u"Text1"_s)->text(), QString());
    EXPECT_EQ(control<QPlainTextEdit>(&form, u"Text2"_s)->toPlainText(), QString());
    EXPECT_EQ(control<QDateEdit>(&form, u"DateTimePicker1"_s)->date(), day);
    EXPECT_TRUE(control<QRadioButton>(&form, u"Option1"_s)->isChecked());
}

} // namespace

TEST(EntryWindowLoad, AddModeTakesTheDefaultListsWhenNoKeyIsStored)
{
    ScriptedPrompter prompts;
    const ScopedToday day(QDate(2024, 2, 29));
    const auto form = openEntryWindow();

    EXPECT_EQ(form->windowTitle(), u"Add New"_s);
    EXPECT_EQ(itemsOf(combo(form.get(), 1)), (QStringList{u"Electric"_s, u"Gig"_s, u"Guitar Lesson"_s,
                                                          u"Guitar Teaching"_s, u"Job"_s, u"Rent"_s, u"Water Bill"_s}));
    EXPECT_EQ(itemsOf(combo(form.get(), 2)), (QStringList{u"Marrowfen"_s, u"Tobren"_s}));
    EXPECT_EQ(itemsOf(combo(form.get(), 3)), (QStringList{u"Marrowfen"_s, u"Tobren"_s}));
    EXPECT_EQ(itemsOf(combo(form.get(), 4)), (QStringList{u"Cash"_s, u"Cheque"_s, u"Transfer"_s}));
    expectAddModeValues(*form, QDate(2024, 2, 29));
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST(EntryWindowLoad, StoredTextsGiveTheirPiecesInAlphabeticalOrder)
{
    SaveSetting(u"Combo1"_s, u"Rent||Job|"_s);
    SaveSetting(u"Combo2"_s, QString());
    SaveSetting(u"Combo3"_s, u"rent|Tobren|Rent|Tobren|apple"_s);
    SaveSetting(u"Combo4"_s, u" Cash|Cheque"_s);
    const auto form = openEntryWindow();

    EXPECT_EQ(itemsOf(combo(form.get(), 1)), (QStringList{u"Job"_s, u"Rent"_s}));
    EXPECT_TRUE(itemsOf(combo(form.get(), 2)).isEmpty());
    EXPECT_EQ(itemsOf(combo(form.get(), 3)), (QStringList{u"apple"_s, u"rent"_s, u"Rent"_s, u"Tobren"_s, u"Tobren"_s}));
    EXPECT_TRUE(itemsOf(combo(form.get(), 4)).contains(u" Cash"_s));
    expectAddModeValues(*form, today());
}

TEST(EntryWindowLoad, DatePickerShowsTheRegionalOrderWithAFourDigitYear)
{
    const ScopedToday day(QDate(2003, 1, 2));
    {
        const auto form = openEntryWindow();
        const auto* picker = control<QDateEdit>(form.get(), u"DateTimePicker1"_s);
        EXPECT_TRUE(picker->calendarPopup());
        EXPECT_EQ(picker->text(), u"1/2/2003"_s);
    }
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const auto form = openEntryWindow();
    EXPECT_EQ(control<QDateEdit>(form.get(), u"DateTimePicker1"_s)->text(), u"02.01.2003"_s);
}

TEST(EntryWindowLoad, EditModeLoadsEveryField)
{
    ScriptedPrompter prompts;
    openFreshLedger();
    Entry entry = sampleEntry(u"Rent"_s, u"1234.5"_s, Direction::PaidOut);
    entry.date = QDate(2003, 1, 2);
    entry.notes = u"first line\nO'Brien's\n"_s;
    addEntry(entry);
    const auto form = openEntryWindow(newestId());

    EXPECT_EQ(form->windowTitle(), u"Edit Data"_s);
    EXPECT_EQ(control<QDateEdit>(form.get(), u"DateTimePicker1"_s)->date(), QDate(2003, 1, 2));
    EXPECT_EQ(combo(form.get(), 1)->currentText(), u"Rent"_s);
    EXPECT_EQ(combo(form.get(), 2)->currentText(), u"Marrowfen"_s);
    EXPECT_EQ(combo(form.get(), 3)->currentText(), u"Tobren"_s);
    EXPECT_EQ(combo(form.get(), 4)->currentText(), u"Cash"_s);
    EXPECT_EQ(combo(form.get(), 1)->count(), 7);
    EXPECT_EQ(control<QLineEdit>(form.get(), u"Text1"_s)->text(), u"1234.5"_s);
    EXPECT_EQ(control<QPlainTextEdit>(form.get(), u"Text2"_s)->toPlainText(), entry.notes);
    EXPECT_TRUE(control<QRadioButton>(form.get(), u"Option2"_s)->isChecked());
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST(EntryWindowLoad, AmountIsPlainNumberTextOfTheUserLocale)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    openFreshLedger();
    addEntry(sampleEntry(u"Rent"_s, u"1234567,25"_s));
    const auto form = openEntryWindow(newestId());
    EXPECT_EQ(control<QLineEdit>(form.get(), u"Text1"_s)->text(), u"1234567,25"_s);
}

TEST(EntryWindowLoad, TextsMissingFromAListAreAddedSelectedAndKeptAfterCancel)
{
    openFreshLedger();
    SaveSetting(u"Combo2"_s, QString());
    Entry entry = sampleEntry(u"rent"_s, u"5"_s);
    entry.paymentMethod = u"Voucher"_s;
    addEntry(entry);
    auto form = openEntryWindow(newestId());

    // Differing only in letter case is a different item.
    EXPECT_EQ(itemsOf(combo(form.get(), 1)).filter(u"rent"_s, Qt::CaseInsensitive),
              (QStringList{u"Rent"_s, u"rent"_s}));
    EXPECT_EQ(combo(form.get(), 1)->currentText(), u"rent"_s);
    EXPECT_EQ(itemsOf(combo(form.get(), 2)), QStringList{u"Marrowfen"_s});
    EXPECT_EQ(combo(form.get(), 2)->currentText(), u"Marrowfen"_s);
    EXPECT_EQ(combo(form.get(), 4)->currentText(), u"Voucher"_s);

    press(form.get(), u"PushButton1"_s);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(GetSetting(u"Combo4"_s, {}), u"Cash|Cheque|Transfer|Voucher"_s);
    EXPECT_EQ(GetSetting(u"Combo2"_s, {}), u"Marrowfen"_s);
    EXPECT_EQ(GetSetting(u"Combo1"_s, {}), u"Electric|Gig|Guitar Lesson|Guitar Teaching|Job|Rent|rent|Water Bill"_s);
    form = openEntryWindow();
    EXPECT_TRUE(itemsOf(combo(form.get(), 4)).contains(u"Voucher"_s));
}

TEST(EntryWindowLoad, AnIdWithoutARowIsSaidToBeGoneAndTheWindowDoesNotOpen)
{
    ScriptedPrompter prompts;
    openFreshLedger();
    addEntry(sampleEntry(u"Rent"_s, u"5"_s, Direction::PaidOut));
    Form2 form(programLedger());
    form.m_ID = u"999"_s;
    form.setCaption(u"Edit Data"_s);
    EXPECT_EQ(prompts.texts(), QStringList{u"This entry is no longer in the ledger: another program deleted it, so "
                                           u"there is nothing to edit."_s});
    EXPECT_EQ(form.exec(), QDialog::Rejected);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(entryCount(), 1);
}

TEST(EntryWindowLoad, AFailedReadIsReportedOnceAndLeavesTheAddModeValues)
{
    ScriptedPrompter prompts; // no ledger is open
    const auto form = openEntryWindow(u"1"_s);
    // The failed open is reported once; the steps that needed its row do not follow it with more boxes.
    QStringList steps;
    for (const QString& report : prompts.errorReports()) {
        EXPECT_TRUE(report.contains(u"\r\nin Quorvane2021/08/31.Form2.LoadData at line "_s)) << report.toStdString();
        steps.append(report.section(u"at line "_s, 1).section(u'\r', 0, 0));
    }
    EXPECT_EQ(steps, (QStringList{u"102"_s}));
    expectAddModeValues(*form, today());
    EXPECT_EQ(combo(form.get(), 4)->count(), 3);
}

TEST(EntryWindowLoad, AMissingAmountLeavesTheBoxEmptyAndAnUnreadableDateIsSaidBeforeTheWindowOpens)
{
    openFreshLedger();
    Conn().execute(u"insert into tblData (datercvd, reason, amount, paymenttype) values ('someday', 'Gig', NULL, 1)"_s);
    ScriptedPrompter prompts;
    const ScopedToday day(QDate(2024, 2, 29));
    const auto form = openEntryWindow(u"1"_s);

    EXPECT_EQ(control<QLineEdit>(form.get(), u"Text1"_s)->text(), QString()) << "never a made-up 0";
    EXPECT_EQ(control<QDateEdit>(form.get(), u"DateTimePicker1"_s)->date(), QDate(2024, 2, 29));
    ASSERT_EQ(prompts.texts().size(), 1);
    EXPECT_TRUE(prompts.texts()[0].contains(u"(\"someday\") cannot be read"_s)) << prompts.texts()[0].toStdString();
    EXPECT_TRUE(prompts.errorReports().isEmpty());
}
