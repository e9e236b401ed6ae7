// The entry window's controls as a person meets them: placement, keyboard order and screen-reader names.
#include "store/programconnection.h"
#include "support/printers.h"
#include "support/scriptedprompter.h"
#include "support/windowdriver.h"
#include "ui/entry/form2.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(EntryWindowControls, CaptionsAndPlacementAsDesigned)
{
    Form2 form(programLedger());
    EXPECT_EQ(form.windowTitle(), u"Add New"_s);
    EXPECT_EQ(form.size(), QSize(280, 498));
    const std::tuple<QString, QString, QRect> designed[] = {{u"DateTimePicker1"_s, {}, QRect(8, 26, 264, 25)},
                                                            {u"Text1"_s, {}, QRect(8, 73, 264, 25)},
                                                            {u"Combo1"_s, {}, QRect(8, 120, 200, 25)},
                                                            {u"PushButton3"_s, u"+"_s, QRect(216, 120, 24, 25)},
                                                            {u"PushButton4"_s, u"-"_s, QRect(248, 120, 24, 25)},
                                                            {u"Combo4"_s, {}, QRect(8, 260, 200, 25)},
                                                            {u"PushButton10"_s, u"-"_s, QRect(248, 260, 24, 25)},
                                                            {u"Text2"_s, {}, QRect(8, 305, 264, 98)},
                                                            {u"Frame1"_s, {}, QRect(8, 406, 264, 50)},
                                                            {u"PushButton2"_s, u"OK"_s, QRect(8, 464, 128, 25)},
                                                            {u"PushButton1"_s, u"Cancel"_s, QRect(144, 464, 128, 25)}};
    for (const auto& [name, caption, geometry] : designed) {
        const auto* widget = control<QWidget>(&form, name);
        EXPECT_EQ(widget->geometry(), geometry) << name.toStdString();
        if (!caption.isEmpty()) {
            EXPECT_EQ(control<QPushButton>(&form, name)->text(), caption);
        }
    }
    EXPECT_EQ(control<QGroupBox>(&form, u"Frame1"_s)->title(), u"Direction"_s);
    EXPECT_EQ(control<QRadioButton>(&form, u"Option1"_s)->text(), u"Received"_s);
    EXPECT_EQ(control<QRadioButton>(&form, u"Option2"_s)->text(), u"Paid Out"_s);
    EXPECT_GT(control<QRadioButton>(&form, u"Option2"_s)->x(), control<QRadioButton>(&form, u"Option1"_s)->x());
    EXPECT_TRUE(control<QRadioButton>(&form, u"Option1"_s)->isChecked());
    for (int number = 1; number <= 4; ++number)
        EXPECT_FALSE(combo(&form, number)->isEditable());
    EXPECT_EQ(control<QPlainTextEdit>(&form, u"Text2"_s)->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
}

TEST(EntryWindowControls, TabVisitsTheControlsInWindowOrder)
{
    ScriptedPrompter prompts;
    const auto form = openEntryWindow();
    QApplication::setActiveWindow(form.get());
    control<QWidget>(form.get(), u"DateTimePicker1"_s)->setFocus();
    QStringList visited{QApplication::focusWidget()->objectName()};
    while (visited.size() < 19) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        // Inside the date Tab first steps through day, month and year.
        if (QApplication::focusWidget()->objectName() != visited.last())
            visited.append(QApplication::focusWidget()->objectName());
    }
    // Of the two direction options Tab stops at the chosen one; the arrow keys move between them.
    EXPECT_EQ(visited, (QStringList{u"DateTimePicker1"_s, u"Text1"_s, u"Combo1"_s, u"PushButton3"_s, u"PushButton4"_s,
                                    u"Combo2"_s, u"PushButton5"_s, u"PushButton6"_s, u"Combo3"_s, u"PushButton7"_s,
                                    u"PushButton8"_s, u"Combo4"_s, u"PushButton9"_s, u"PushButton10"_s, u"Text2"_s,
                                    u"Option1"_s, u"PushButton2"_s, u"PushButton1"_s, u"DateTimePicker1"_s}));
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST(EntryWindowControls, ScreenReadersHearEachFieldByItsLabel)
{
    Form2 form(programLedger());
    const std::pair<QString, QString> names[] = {{u"DateTimePicker1"_s, u"Date"_s},
                                                 {u"Text1"_s, u"Amount"_s},
                                                 {u"Combo1"_s, u"Reason"_s},
                                                 {u"Combo2"_s, u"From (Payor)"_s},
                                                 {u"Combo3"_s, u"To (Payee)"_s},
                                                 {u"Combo4"_s, u"Payment Method"_s},
                                                 {u"Text2"_s, u"Notes"_s},
                                                 {u"PushButton3"_s, u"Add Reason"_s},
                                                 {u"PushButton4"_s, u"Remove Reason"_s},
                                                 {u"PushButton9"_s, u"Add Payment Method"_s},
                                                 {u"PushButton8"_s, u"Remove To (Payee)"_s}};
    for (const auto& [name, spoken] : names) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control<QWidget>(&form, name));
        ASSERT_NE(accessible, nullptr) << name.toStdString();
        EXPECT_EQ(accessible->text(QAccessible::Name), spoken) << name.toStdString();
    }
}

TEST(EntryWindowControls, EnterInTheDateOrAmountPressesOk)
{
    ScriptedPrompter prompts;
    const auto form = openEntryWindow();
    QApplication::setActiveWindow(form.get());
    for (const QString& field : {u"DateTimePicker1"_s, u"Text1"_s}) {
        control<QWidget>(form.get(), field)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    }
    EXPECT_EQ(prompts.texts(), (QStringList{u"You forgot to input Reason."_s, u"You forgot to input Reason."_s}));
    EXPECT_TRUE(form->isVisible());
}
