// The currency option dialog, driven as a user would: opening state, OK, the three ways to cancel, layout.
#include "money/moneyformat.h"
#include "settings/settings.h"
#include "support/printers.h"
#include "support/scriptedprompter.h"
#include "support/windowdriver.h"
#include "ui/currency/form3.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTest>
#include <QTextLayout>
#include <QTimer>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QString missing = u"<missing>"_s;

class CurrencyDialog : public testing::Test
{
protected:
    // Runs the dialog modally, as the main window does, while `drive` works it from the event loop.
    template <class F> int execWith(Form3& dialog, F drive)
    {
        QTimer::singleShot(0, &dialog, [&dialog, drive] {
            EXPECT_EQ(QApplication::activeModalWidget(), &dialog);
            drive();
        });
        QTimer::singleShot(5000, &dialog, [&dialog] { dialog.done(-1); }); // never hang on a fault
        return dialog.exec();
    }

    void typeSymbol(Form3& dialog, const QString& text)
    {
        QLineEdit* box = control<QLineEdit>(&dialog, u"Text1"_s);
        box->clear();
        QTest::keyClicks(box, text);
    }

    ScriptedPrompter prompter;
    int refills = 0;
    QString formatAtRefill;
    std::function<void()> refill = [this] {
        ++refills;
        formatAtRefill = FormatMoney(1234.5);
    };
};

TEST_F(CurrencyDialog, FirstOpeningShowsTheRegionalSymbolBeforeTheAmount)
{
    Form3 dialog(refill);
    EXPECT_EQ(control<QLineEdit>(&dialog, u"Text1"_s)->text(), u"$"_s);
    EXPECT_TRUE(control<QRadioButton>(&dialog, u"Option1"_s)->isChecked());
    EXPECT_FALSE(control<QRadioButton>(&dialog, u"Option2"_s)->isChecked());
    EXPECT_TRUE(prompter.messages.isEmpty());
    EXPECT_EQ(refills, 0);
}

TEST_F(CurrencyDialog, OpeningShowsTheStoredChoice)
{
    SaveSetting(u"CurrencySymbol"_s, u"kr."_s);
    for (const QString& stored : {u"0"_s, u"2"_s, u"1"_s}) {
        SCOPED_TRACE(stored.toStdString());
        SaveSetting(u"CurrencyBefore"_s, stored);
        Form3 dialog(refill);
        EXPECT_EQ(control<QLineEdit>(&dialog, u"Text1"_s)->text(), u"kr."_s);
        EXPECT_EQ(control<QRadioButton>(&dialog, u"Option1"_s)->isChecked(), stored == u"1");
        EXPECT_EQ(control<QRadioButton>(&dialog, u"Option2"_s)->isChecked(), stored != u"1");
    }
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(CurrencyDialog, UnreadablePositionIsReportedAndOpensAfterAmount)
{
    for (const QString& stored : {u"abc"_s, u"300"_s, u"256"_s, u"-1"_s}) {
        SCOPED_TRACE(stored.toStdString());
        prompter.messages.clear();
        SaveSetting(u"CurrencyBefore"_s, stored);
        Form3 dialog(refill);
        const QStringList reports = prompter.errorReports();
        ASSERT_EQ(reports.size(), 1);
        EXPECT_TRUE(reports[0].contains(u"in Quorvane2021/08/31.Form3.Form_Load at line 116"_s))
            << reports[0].toStdString();
        EXPECT_EQ(prompter.messages.size(), 1);
        EXPECT_EQ(control<QLineEdit>(&dialog, u"Text1"_s)->text(), u"$"_s);
        EXPECT_FALSE(control<QRadioButton>(&dialog, u"Option1"_s)->isChecked());
        EXPECT_TRUE(control<QRadioButton>(&dialog, u"Option2"_s)->isChecked());
    }
}

TEST_F(CurrencyDialog, AfterAmountAndOkStoresRebuildsAndRefillsOnce)
{
    Form3 dialog(refill);
    const int result = execWith(dialog, [&] {
        press(&dialog, u"Option2"_s);
        press(&dialog, u"PushButton2"_s);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(GetSetting(u"CurrencyBefore"_s, missing), u"0"_s);
    EXPECT_EQ(GetSetting(u"CurrencySymbol"_s, missing), u"$"_s);
    EXPECT_EQ(refills, 1);
    // The list is refilled with the new format already in force.
    EXPECT_EQ(formatAtRefill, u"1,234.50 $"_s);
    EXPECT_EQ(FormatMoney(1234.5), u"1,234.50 $"_s);
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(CurrencyDialog, TypedSymbolIsStoredWithoutOuterSpaces)
{
    SaveSetting(u"CurrencyBefore"_s, u"0"_s);
    Form3 dialog(refill);
    execWith(dialog, [&] {
        typeSymbol(dialog, u"  Fr.  "_s);
        press(&dialog, u"Option1"_s);
        press(&dialog, u"PushButton2"_s);
    });
    EXPECT_EQ(GetSetting(u"CurrencySymbol"_s, missing), u"Fr."_s);
    EXPECT_EQ(GetSetting(u"CurrencyBefore"_s, missing), u"1"_s);
    EXPECT_EQ(FormatMoney(5), u"Fr. 5.00"_s);
    EXPECT_EQ(refills, 1);
}

TEST_F(CurrencyDialog, EmptyBoxStoresTheRegionalSymbolOfThatMoment)
{
    for (const QString& typed : {QString(), u"   "_s}) {
        SCOPED_TRACE(typed.size());
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        SaveSetting(u"CurrencySymbol"_s, u"kr."_s);
        Form3 dialog(refill);
        // The regional settings change while the dialog is open: OK takes the symbol of then.
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        execWith(dialog, [&] {
            typeSymbol(dialog, typed);
            press(&dialog, u"PushButton2"_s);
        });
        EXPECT_EQ(GetSetting(u"CurrencySymbol"_s, missing), u"€"_s);
    }
    EXPECT_EQ(refills, 2);
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(CurrencyDialog, CancelButtonEscapeAndCloseBoxStoreNothing)
{
    const std::pair<const char*, std::function<void(Form3&)>> ways[] = {
        {"Cancel button", [](Form3& dialog) { press(&dialog, u"PushButton1"_s); }},
        {"Escape", [](Form3& dialog) { QTest::keyClick(control<QLineEdit>(&dialog, u"Text1"_s), Qt::Key_Escape); }},
        {"close box", [](Form3& dialog) { dialog.close(); }},
    };
    SaveSetting(u"CurrencySymbol"_s, u"kr."_s);
    SaveSetting(u"CurrencyBefore"_s, u"1"_s);
    const QString formatBefore = moneyFormat();
    for (const auto& [way, cancel] : ways) {
        SCOPED_TRACE(way);
        Form3 dialog(refill);
        const int result = execWith(dialog, [&, cancel = cancel] {
            typeSymbol(dialog, u"Fr."_s);
            press(&dialog, u"Option2"_s);
            cancel(dialog);
        });
        EXPECT_EQ(result, QDialog::Rejected);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(GetSetting(u"CurrencySymbol"_s, missing), u"kr."_s);
        EXPECT_EQ(GetSetting(u"CurrencyBefore"_s, missing), u"1"_s);
    }
    EXPECT_EQ(refills, 0);
    EXPECT_EQ(moneyFormat(), formatBefore);
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(CurrencyDialog, SettingsThatCannotBeWrittenAreReportedAndOkStillCloses)
{
    // A file where the settings folder should be: nothing can be stored.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::ConfigLocation) + u"/Marrowfen"_s;
    QFile blocker(folder);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    Form3 dialog(refill);
    const int result = execWith(dialog, [&] { press(&dialog, u"PushButton2"_s); });
    const QStringList reports = prompter.errorReports();
    ASSERT_EQ(reports.size(), 2);
    EXPECT_TRUE(reports[0].contains(u"in Quorvane2021/08/31.Form3.PushButton2_Click at line 106"_s));
    EXPECT_TRUE(reports[1].contains(u"in Quorvane2021/08/31.Form3.PushButton2_Click at line 114"_s));
    EXPECT_EQ(refills, 1);
    EXPECT_EQ(result, QDialog::Accepted);
}

TEST_F(CurrencyDialog, LooksAsDesigned)
{
    Form3 dialog(refill);
    EXPECT_EQ(dialog.windowTitle(), u"Currency Option"_s);
    EXPECT_EQ(dialog.size(), QSize(280, 158));
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    EXPECT_FALSE(dialog.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(dialog.font().family(), u"Arial"_s);
    EXPECT_EQ(dialog.font().pointSizeF(), 9.0);
    EXPECT_TRUE(dialog.font().bold());
    for (const QString& name : {u"PushButton1"_s, u"PushButton2"_s}) {
        const QFont font = control<QPushButton>(&dialog, name)->font();
        EXPECT_EQ(font.pointSizeF(), 11.25) << name.toStdString();
        EXPECT_TRUE(font.bold()) << name.toStdString();
    }

    const QLabel* label = control<QLabel>(&dialog, u"Label1"_s);
    const QString text = label->text();
    EXPECT_EQ(text.size(), 94);
    EXPECT_TRUE(text.startsWith(u"Currency Symbol"_s + QString(43, u' ') + u"(Leave Blank"_s));
    EXPECT_TRUE(text.endsWith(u"To Set Back To Default)"_s));
    QLineEdit* box = control<QLineEdit>(&dialog, u"Text1"_s);
    EXPECT_EQ(label->buddy(), box);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(box)->text(QAccessible::Name),
              u"Currency Symbol (Leave Blank To Set Back To Default)"_s);

    // The label wraps exactly before the bracket, and both lines fit its height.
    QTextLayout layout(text, label->font());
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine())
        line.setLineWidth(label->contentsRect().width());
    layout.endLayout();
    ASSERT_EQ(layout.lineCount(), 2);
    EXPECT_EQ(text.mid(layout.lineAt(1).textStart()), u"(Leave Blank To Set Back To Default)"_s);
    EXPECT_LE(layout.boundingRect().height(), label->contentsRect().height());

    // No caption is clipped.
    for (const QString& name : {u"Option1"_s, u"Option2"_s, u"PushButton1"_s, u"PushButton2"_s}) {
        const QWidget* widget = control<QWidget>(&dialog, name);
        EXPECT_LE(widget->sizeHint().width(), widget->width()) << name.toStdString();
        EXPECT_LE(widget->fontMetrics().height(), widget->height()) << name.toStdString();
    }
    const QGroupBox* frame = control<QGroupBox>(&dialog, u"Frame1"_s);
    for (const QString& name : {u"Option1"_s, u"Option2"_s})
        EXPECT_TRUE(frame->rect().contains(control<QWidget>(&dialog, name)->geometry())) << name.toStdString();
    const QRect option1 = control<QWidget>(&dialog, u"Option1"_s)->geometry();
    EXPECT_FALSE(option1.intersects(control<QWidget>(&dialog, u"Option2"_s)->geometry()));
    EXPECT_FALSE(label->geometry().intersects(box->geometry()));
}

TEST_F(CurrencyDialog, OpensCentredWithTheSymbolFocusedAndTabsInOrder)
{
    QWidget mainWindow;
    mainWindow.setGeometry(10, 10, 200, 150);
    mainWindow.show();
    Form3 dialog(refill, &mainWindow);
    execWith(dialog, [&] {
        EXPECT_EQ(dialog.focusWidget(), control<QWidget>(&dialog, u"Text1"_s));
        const QRect screen = dialog.screen()->availableGeometry();
        EXPECT_LE((dialog.geometry().center() - screen.center()).manhattanLength(), 2);
        QStringList order;
        QWidget* widget = control<QWidget>(&dialog, u"Text1"_s);
        do {
            if (widget->focusPolicy() & Qt::TabFocus)
                order.append(widget->objectName());
            widget = widget->nextInFocusChain();
        } while (widget != control<QWidget>(&dialog, u"Text1"_s));
        EXPECT_EQ(order, (QStringList{u"Text1"_s, u"Option1"_s, u"Option2"_s, u"PushButton2"_s, u"PushButton1"_s}));
        dialog.reject();
    });
}

} // namespace
