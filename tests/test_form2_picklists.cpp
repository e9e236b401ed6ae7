// The "+" and "-" buttons of the four pick lists, and storing the lists whenever the window closes.
#include "settings/settings.h"
#include "support/ledgerfixture.h"
#include "support/printers.h"
#include "support/scriptedprompter.h"
#include "support/windowdriver.h"
#include "ui/entry/form2.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QString missing = u"<missing>"_s;

} // namespace

TEST(EntryPickLists, PlusAsksWithItsPromptAndAnEmptyAnswerChangesNothing)
{
    ScriptedPrompter prompts;
    const auto form = openEntryWindow();
    pick(combo(form.get(), 2), u"Tobren"_s);
    const QStringList before[] = {itemsOf(combo(form.get(), 1)), itemsOf(combo(form.get(), 2)),
                                  itemsOf(combo(form.get(), 3)), itemsOf(combo(form.get(), 4))};
    for (const char16_t* button : {u"PushButton3", u"PushButton5", u"PushButton7", u"PushButton9"})
        press(form.get(), QString::fromUtf16(button));

    ASSERT_EQ(prompts.questions.size(), 4);
    const std::pair<QString, QString> expected[] = {{u"Enter new Reason: "_s, u"Input Reason"_s},
                                                    {u"Enter new From (Payor): "_s, u"Input From"_s},
                                                    {u"Enter new To (Payee): "_s, u"Input To"_s},
                                                    {u"Enter new Payment Method: "_s, u"Input Payment Method"_s}};
    for (int list = 0; list < 4; ++list) {
        EXPECT_EQ(prompts.questions[list].prompt, expected[list].first);
        EXPECT_EQ(prompts.questions[list].title, expected[list].second);
        EXPECT_EQ(itemsOf(combo(form.get(), list + 1)), before[list]);
    }
    EXPECT_EQ(combo(form.get(), 2)->currentText(), u"Tobren"_s);
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST(EntryPickLists, PlusListsTheAnswerInOrderWithoutChoosingIt)
{
    ScriptedPrompter prompts;
    SaveSetting(u"Combo4"_s, QString());
    const auto form = openEntryWindow();
    pick(combo(form.get(), 1), u"Rent"_s);
    prompts.answers = {u"gig"_s, u"  "_s, u"Card"_s};
    press(form.get(), u"PushButton3"_s);
    press(form.get(), u"PushButton3"_s);
    press(form.get(), u"PushButton9"_s);

    EXPECT_EQ(itemsOf(combo(form.get(), 1)),
              (QStringList{u"  "_s, u"Electric"_s, u"Gig"_s, u"gig"_s, u"Guitar Lesson"_s, u"Guitar Teaching"_s,
                           u"Job"_s, u"Rent"_s, u"Water Bill"_s}));
    EXPECT_EQ(combo(form.get(), 1)->currentText(), u"Rent"_s);
    // The first item of an empty list is not chosen either.
    EXPECT_EQ(itemsOf(combo(form.get(), 4)), QStringList{u"Card"_s});
    EXPECT_EQ(combo(form.get(), 4)->currentIndex(), -1);
    press(form.get(), u"PushButton1"_s);
    EXPECT_EQ(GetSetting(u"Combo1"_s, missing),
              u"  |Electric|Gig|gig|Guitar Lesson|Guitar Teaching|Job|Rent|Water Bill"_s);
}

TEST(EntryPickLists, AnAnswerHoldingTheSeparatorIsOneItemUntilReopened)
{
    ScriptedPrompter prompts;
    auto form = openEntryWindow();
    prompts.answers = {u"Petrol|Oil"_s};
    press(form.get(), u"PushButton5"_s);
    EXPECT_TRUE(itemsOf(combo(form.get(), 2)).contains(u"Petrol|Oil"_s));
    press(form.get(), u"PushButton1"_s);
    form = openEntryWindow();
    EXPECT_EQ(itemsOf(combo(form.get(), 2)), (QStringList{u"Marrowfen"_s, u"Oil"_s, u"Petrol"_s, u"Tobren"_s}));
}

TEST(EntryPickLists, MinusRemovesOnlyTheSelectedItem)
{
    ScriptedPrompter prompts;
    SaveSetting(u"Combo3"_s, u"Tobren|Marrowfen|Tobren"_s);
    const auto form = openEntryWindow();
    QComboBox* payee = combo(form.get(), 3);
    press(form.get(), u"PushButton8"_s);
    EXPECT_EQ(payee->count(), 3);

    payee->setCurrentIndex(2);
    press(form.get(), u"PushButton8"_s);
    EXPECT_EQ(itemsOf(payee), (QStringList{u"Marrowfen"_s, u"Tobren"_s}));
    EXPECT_EQ(payee->currentIndex(), -1);
    EXPECT_EQ(itemsOf(combo(form.get(), 2)), (QStringList{u"Marrowfen"_s, u"Tobren"_s}));
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST(EntryPickLists, AnEmptiedListIsStoredEmptyAndStaysEmpty)
{
    ScriptedPrompter prompts;
    auto form = openEntryWindow();
    QComboBox* methods = combo(form.get(), 4);
    while (methods->count() > 0) {
        methods->setCurrentIndex(methods->count() - 1);
        press(form.get(), u"PushButton10"_s);
    }
    form->close(); // the close box
    EXPECT_EQ(GetSetting(u"Combo4"_s, missing), QString());
    EXPECT_EQ(GetSetting(u"Combo3"_s, missing), u"Marrowfen|Tobren"_s);
    form = openEntryWindow();
    EXPECT_EQ(combo(form.get(), 4)->count(), 0);
}

TEST(EntryPickLists, EveryWayOfClosingStoresTheLists)
{
    ScriptedPrompter prompts;
    openFreshLedger();
    const auto addedThenClosed = [&](const std::function<void(Form2&)>& close) {
        SaveSetting(u"Combo1"_s, u"Rent"_s);
        const auto form = openEntryWindow();
        prompts.answers = {u"Job"_s};
        press(form.get(), u"PushButton3"_s);
        close(*form);
        EXPECT_FALSE(form->isVisible());
        return GetSetting(u"Combo1"_s, missing);
    };
    EXPECT_EQ(addedThenClosed([](Form2& form) { press(&form, u"PushButton1"_s); }), u"Job|Rent"_s);
    EXPECT_EQ(addedThenClosed([](Form2& form) { QTest::keyClick(&form, Qt::Key_Escape); }), u"Job|Rent"_s);
    EXPECT_EQ(addedThenClosed([](Form2& form) { form.close(); }), u"Job|Rent"_s);
    EXPECT_EQ(addedThenClosed([](Form2& form) {
                  pick(combo(&form, 1), u"Job"_s);
                  pick(combo(&form, 2), u"Tobren"_s);
                  pick(combo(&form, 3), u"Tobren"_s);
                  pick(combo(&form, 4), u"Cash"_s);
                  control<QLineEdit>(&form, u"Text1"_s)->setText(u"1"_s);
                  press(&form, u"PushButton2"_s);
              }),
              u"Job|Rent"_s);
    EXPECT_EQ(entryCount(), 1);
}
