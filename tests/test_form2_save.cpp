// The OK button: the six checks in order, and the insert or update that follows them.
#include "base/apptitle.h"
#include "base/paths.h"
#include "money/moneyformat.h"
#include "settings/settings.h"
#include "store/programconnection.h"
#include "store/recordset.h"
#include "store/statements.h"
#include "support/ledgerfixture.h"
#include "support/ledgerkinds.h"
#include "support/ordinaryuser.h"
#include "support/printers.h"
#include "support/scriptedprompter.h"
#include "support/windowdriver.h"
#include "ui/entry/form2.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

void fillValid(const Form2& form, const QString& amount)
{
    pick(combo(&form, 1), u"Rent"_s);
    pick(combo(&form, 2), u"Marrowfen"_s);
    pick(combo(&form, 3), u"Tobren"_s);
    control<QLineEdit>(&form, u"Text1"_s)->setText(amount);
    pick(combo(&form, 4), u"Cash"_s);
}

struct Row
{
    QString reason, from, to, method, notes;
    double amount = 0;
    QDate date;
    qlonglong paymentType = 0;
};

Row readRow(const QString& id)
{
    Recordset rs;
    rs.open(selectEntry(id), Conn());
    return {rs.field(u"reason").toString(),    rs.field(u"fromcompany").toString(),
            rs.field(u"tocompany").toString(), rs.field(u"paymentmethod").toString(),
            rs.field(u"notes").toString(),     rs.field(u"amount").toDouble(),
            rs.field(u"datercvd").toDate(),    rs.field(u"paymenttype").toLongLong()};
}

} // namespace

TEST(EntryWindowSave, ChecksRunInOrderEachWithItsMessageAndFocus)
{
    ScriptedPrompter prompts;
    openFreshLedger();
    const auto form = openEntryWindow();
    auto* amount = control<QLineEdit>(form.get(), u"Text1"_s);
    const auto okSays = [&](const QString& message, const QString& focus) {
        prompts.messages.clear();
        press(form.get(), u"PushButton2"_s);
        ASSERT_EQ(prompts.messages.size(), 1) << message.toStdString();
        EXPECT_EQ(prompts.messages[0].text, message);
        EXPECT_EQ(prompts.messages[0].caption, appTitle());
        EXPECT_EQ(prompts.messages[0].icon, MessageIcon::None);
        EXPECT_EQ(form->focusWidget()->objectName(), focus) << message.toStdString();
        EXPECT_TRUE(form->isVisible());
    };

    okSays(u"You forgot to input Reason."_s, u"Combo1"_s);
    pick(combo(form.get(), 1), u"Rent"_s);
    okSays(u"You forgot to input From."_s, u"Combo2"_s);
    pick(combo(form.get(), 2), u"Marrowfen"_s);
    okSays(u"You forgot to input To."_s, u"Combo3"_s);
    pick(combo(form.get(), 3), u"Tobren"_s);
    okSays(u"You forgot to input Amount."_s, u"Text1"_s);
    for (const QString& notANumber : {u" "_s, u"abc"_s, u"12'5"_s, u"nan"_s, u"inf"_s, u"1,2,3.4.5"_s}) {
        amount->setText(notANumber);
        okSays(u"Amount must be numeric value"_s, u"Text1"_s);
        EXPECT_EQ(amount->text(), notANumber);
    }
    amount->setText(u"12.5"_s);
    okSays(u"You forgot to input Payment Method."_s, u"Combo4"_s);
    EXPECT_EQ(entryCount(), 0);
    EXPECT_EQ(combo(form.get(), 1)->currentText(), u"Rent"_s);
}

TEST(EntryWindowSave, AddModeInsertsTheAmountAsTypedAndCloses)
{
    for (const auto& [typed, stored] : {std::pair{u"-12.5"_s, -12.5}, {u"0"_s, 0.0}, {u" 1,234.5 "_s, 1234.5}}) {
        ScriptedPrompter prompts;
        openFreshLedger();
        const auto form = openEntryWindow();
        fillValid(*form, typed);
        press(form.get(), u"PushButton2"_s);
        EXPECT_EQ(prompts.texts(), QStringList{u"Record successfully saved."_s});
        EXPECT_FALSE(form->isVisible());
        EXPECT_EQ(form->result(), QDialog::Accepted);
        ASSERT_EQ(entryCount(), 1);
        EXPECT_EQ(readRow(newestId()).amount, stored) << typed.toStdString();
    }
}

TEST(EntryWindowSave, AmountsAreReadInTheUserLocale)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    ScriptedPrompter prompts;
    openFreshLedger();
    const auto form = openEntryWindow();
    fillValid(*form, u"1,234.5"_s);
    press(form.get(), u"PushButton2"_s);
    EXPECT_EQ(prompts.texts(), QStringList{u"Amount must be numeric value"_s});
    control<QLineEdit>(form.get(), u"Text1"_s)->setText(u"1.234,5"_s);
    press(form.get(), u"PushButton2"_s);
    ASSERT_EQ(entryCount(), 1);
    EXPECT_EQ(readRow(newestId()).amount, 1234.5);
}

TEST(EntryWindowSave, TextsAreStoredAndShownBackUnchanged)
{
    ScriptedPrompter prompts;
    openFreshLedger();
    SaveSetting(u"Combo1"_s, u"O'Brien's rent|#01/02/2003#"_s);
    SaveSetting(u"Combo2"_s, u"D'Arcy ''Ltd''"_s);
    const QString notes = u"Paid ' in cash;\n#01/02/2003# -- not a date\n\n10\u00a0€ tip "_s;
    auto form = openEntryWindow();
    control<QDateEdit>(form.get(), u"DateTimePicker1"_s)->setDateTime(QDateTime(QDate(2021, 7, 5), QTime(23, 59)));
    pick(combo(form.get(), 1), u"O'Brien's rent"_s);
    pick(combo(form.get(), 2), u"D'Arcy ''Ltd''"_s);
    pick(combo(form.get(), 3), u"Tobren"_s);
    control<QLineEdit>(form.get(), u"Text1"_s)->setText(u"7"_s);
    pick(combo(form.get(), 4), u"Cheque"_s);
    control<QPlainTextEdit>(form.get(), u"Text2"_s)->setPlainText(notes);
    control<QRadioButton>(form.get(), u"Option2"_s)->setChecked(true);
    press(form.get(), u"PushButton2"_s);
    ASSERT_EQ(prompts.texts(), QStringList{u"Record successfully saved."_s});

    const Row row = readRow(newestId());
    EXPECT_EQ(row.reason, u"O'Brien's rent"_s);
    EXPECT_EQ(row.from, u"D'Arcy ''Ltd''"_s);
    EXPECT_EQ(row.notes, notes);
    EXPECT_EQ(row.date, QDate(2021, 7, 5));
    EXPECT_EQ(row.paymentType, 2);

    // Shown back and saved again without a change, the row stays as it was.
    form = openEntryWindow(newestId());
    EXPECT_EQ(combo(form.get(), 1)->currentText(), u"O'Brien's rent"_s);
    EXPECT_EQ(combo(form.get(), 2)->currentText(), u"D'Arcy ''Ltd''"_s);
    press(form.get(), u"PushButton2"_s);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(entryCount(), 1);
    const Row again = readRow(newestId());
    EXPECT_EQ(std::tie(again.reason, again.from, again.notes, again.date, again.paymentType),
              std::tie(row.reason, row.from, row.notes, row.date, row.paymentType));
}

TEST(EntryWindowSave, EditModeUpdatesTheRowItWasOpenedFor)
{
    ScriptedPrompter prompts;
    openFreshLedger();
    addEntry(sampleEntry(u"Rent"_s, u"10"_s, Direction::Received));
    const QString first = newestId();
    addEntry(sampleEntry(u"Job"_s, u"20"_s, Direction::Received));
    const auto form = openEntryWindow(first);
    control<QLineEdit>(form.get(), u"Text1"_s)->setText(u"-3.25"_s);
    control<QRadioButton>(form.get(), u"Option2"_s)->setChecked(true);
    press(form.get(), u"PushButton2"_s);
    EXPECT_EQ(prompts.texts(), QStringList{u"Record successfully saved."_s});
    EXPECT_EQ(entryCount(), 2);
    EXPECT_EQ(readRow(first).amount, -3.25);
    EXPECT_EQ(readRow(first).paymentType, 2);
    EXPECT_EQ(readRow(newestId()).amount, 20.0);
}

TEST(EntryWindowSave, ARefusedSaveKeepsTheWindowOpenWithItsInput)
{
    for (const bool edit : {false, true}) {
        ScriptedPrompter prompts;
        openFreshLedger();
        addEntry(sampleEntry(u"Rent"_s, u"10"_s));
        Conn().execute(
            edit ? u"create trigger refuse before update on tblData begin select raise(abort, 'disk says no'); end"_s
                 : u"create trigger refuse before insert on tblData begin select raise(abort, 'disk says no'); end"_s);
        const auto form = openEntryWindow(edit ? newestId() : QString());
        fillValid(*form, u"99.5"_s);
        press(form.get(), u"PushButton2"_s);

        ASSERT_EQ(prompts.messages.size(), 1);
        EXPECT_TRUE(prompts.errorReports()[0].startsWith(u"disk says no\r\n"_s));
        EXPECT_TRUE(prompts.errorReports()[0].contains(u"in Quorvane2021/08/31.Form2.PushButton2_Click at line "_s +
                                                       (edit ? u"124"_s : u"128"_s)));
        EXPECT_TRUE(form->isVisible());
        EXPECT_EQ(control<QLineEdit>(form.get(), u"Text1"_s)->text(), u"99.5"_s);
        EXPECT_EQ(combo(form.get(), 1)->currentText(), u"Rent"_s);
        EXPECT_EQ(readRow(newestId()).amount, 10.0);

        // Once the ledger takes it again, the same window saves.
        Conn().execute(u"drop trigger refuse"_s);
        press(form.get(), u"PushButton2"_s);
        EXPECT_EQ(prompts.texts().last(), u"Record successfully saved."_s);
        EXPECT_FALSE(form->isVisible());
        EXPECT_EQ(readRow(newestId()).amount, 99.5);
        EXPECT_EQ(entryCount(), edit ? 1 : 2);
    }
}

TEST(EntryWindowSave, EnterInTheAmountBoxPressesOkInTheModalWindow)
{
    ScriptedPrompter prompts;
    openFreshLedger();
    Form2 form(programLedger());
    form.m_ID = QString();
    form.setCaption(u"Add New"_s);
    QTimer::singleShot(0, [&] {
        fillValid(form, u"42"_s);
        auto* amount = control<QLineEdit>(&form, u"Text1"_s);
        amount->setFocus();
        QTest::keyClick(amount, Qt::Key_Return);
    });
    EXPECT_EQ(form.exec(), QDialog::Accepted);
    EXPECT_EQ(prompts.texts(), QStringList{u"Record successfully saved."_s});
    EXPECT_EQ(entryCount(), 1);
}

TEST(EntryWindowSave, ALedgerOrFolderThatCannotBeWrittenIsSaidInWordsAndNothingIsStored)
{
    struct Case
    {
        const char* name;
        bool folderReadOnly;
        const char* says;
    };
    const Case cases[] = {
        {"read-only ledger", false, "The ledger cannot be written: '<ledger>' is read-only.\r\n"},
        {"read-only folder", true, "The ledger cannot be written: the folder '<folder>' is read-only.\r\n"},
    };
    for (const Case& c : cases) {
        ScriptedPrompter prompts;
        const QString ledger = openFreshLedger();
        addEntry(sampleEntry(u"Kept"_s, u"10"_s));
        ConnSlot().reset();
        const QString folder = QFileInfo(ledger).path();
        QFile::setPermissions(c.folderReadOnly ? folder : ledger,
                              c.folderReadOnly ? QFile::ReadOwner | QFile::ExeOwner : QFile::ReadOwner);
        {
            ScopedOrdinaryUser user({folder, ledger});
            ConnSlot() = std::make_unique<Connection>();
            Conn().open(connectionString(SpecialFolderPath(35)));
            const auto form = openEntryWindow();
            fillValid(*form, u"99.5"_s);
            press(form.get(), u"PushButton2"_s);
            EXPECT_TRUE(form->isVisible()) << c.name;
            ConnSlot().reset();
        }
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile::setPermissions(ledger, QFile::ReadOwner | QFile::WriteOwner);
        ASSERT_EQ(prompts.errorReports().size(), 1) << c.name << ": " << prompts.texts().join(u"\n").toStdString();
        EXPECT_TRUE(prompts.errorReports()[0].startsWith(
            QString::fromLatin1(c.says).replace(u"<ledger>"_s, ledger).replace(u"<folder>"_s, folder)))
            << prompts.errorReports()[0].toStdString();
        ConnSlot() = std::make_unique<Connection>();
        Conn().open(connectionString(SpecialFolderPath(35)));
        EXPECT_EQ(entryCount(), 1) << c.name;
    }
}

namespace {

// Two programs on one ledger: the other program is a connection of its own, with its own window.
class EntryWindowBesideAnotherProgram : public testing::TestWithParam<LedgerKind>
{
protected:
    void SetUp() override
    {
        BuildMoneyFormat(u"$"_s, u"1"_s);
        other.open(openFreshLedger(GetParam()));
        addEntry(sampleEntry(u"Rent"_s, u"10"_s));
        id = newestId();
    }

    // The other program's entry window, editing `id`.
    std::unique_ptr<Form2> openTheirWindow()
    {
        auto form = std::make_unique<Form2>(LedgerEntries(other));
        form->m_ID = id;
        form->setCaption(u"Edit Data"_s);
        form->show();
        return form;
    }

    ScriptedPrompter prompts;
    Connection other;
    QString id;
};

} // namespace

TEST_P(EntryWindowBesideAnotherProgram, TheLaterSaveOfTheSameEntryIsRefusedShowingWhatChanged)
{
    const auto mine = openEntryWindow(id);
    const auto theirs = openTheirWindow();
    control<QDateEdit>(theirs.get(), u"DateTimePicker1"_s)->setDate(QDate(2021, 4, 1));
    control<QLineEdit>(theirs.get(), u"Text1"_s)->setText(u"12.5"_s);
    control<QPlainTextEdit>(theirs.get(), u"Text2"_s)->setPlainText(u"paid\nlate"_s);
    control<QRadioButton>(theirs.get(), u"Option2"_s)->setChecked(true);
    press(theirs.get(), u"PushButton2"_s);
    ASSERT_EQ(prompts.texts(), QStringList{u"Record successfully saved."_s});

    control<QLineEdit>(mine.get(), u"Text1"_s)->setText(u"99"_s);
    press(mine.get(), u"PushButton2"_s);
    ASSERT_EQ(prompts.messages.size(), 2);
    EXPECT_EQ(prompts.texts()[1], u"Another program changed this entry after you opened it, so nothing was saved:\n\n"
                                  u"Date: 3/5/2021 \u2192 4/1/2021\nAmount: $ 10.00 \u2192 $ 12.50\n"
                                  u"Notes: (empty) \u2192 paid\u21b5late\nDirection: Received \u2192 Paid Out\n\n"
                                  u"What you typed is still here: OK saves it over that change, Cancel keeps the "
                                  u"entry as it is now."_s);
    EXPECT_TRUE(prompts.errorReports().isEmpty());
    EXPECT_TRUE(mine->isVisible());
    EXPECT_EQ(control<QLineEdit>(mine.get(), u"Text1"_s)->text(), u"99"_s);
    EXPECT_EQ(readRow(id).amount, 12.5);
    EXPECT_EQ(readRow(id).date, QDate(2021, 4, 1));

    // Having been shown their change, the user may save over it.
    press(mine.get(), u"PushButton2"_s);
    EXPECT_EQ(prompts.texts().last(), u"Record successfully saved."_s);
    EXPECT_FALSE(mine->isVisible());
    EXPECT_EQ(readRow(id).amount, 99.0);
    EXPECT_EQ(readRow(id).date, QDate(2021, 3, 5));
    EXPECT_EQ(entryCount(), 1);
}

TEST_P(EntryWindowBesideAnotherProgram, AnEntryDeletedUnderTheOpenWindowIsSaidAndWhatWasTypedCanBeAddedAfresh)
{
    const auto mine = openEntryWindow(id);
    control<QLineEdit>(mine.get(), u"Text1"_s)->setText(u"99"_s);
    LedgerEntries(other).remove(id);
    press(mine.get(), u"PushButton2"_s);
    EXPECT_EQ(prompts.texts(), QStringList{u"Another program deleted this entry after you opened it, so nothing was "
                                           u"saved.\n\nWhat you typed is still here: OK adds it as a new entry, "
                                           u"Cancel leaves it out."_s});
    EXPECT_TRUE(mine->isVisible());
    EXPECT_EQ(entryCount(), 0);

    press(mine.get(), u"PushButton2"_s);
    EXPECT_EQ(prompts.texts().last(), u"Record successfully saved."_s);
    EXPECT_FALSE(mine->isVisible());
    ASSERT_EQ(entryCount(), 1);
    EXPECT_NE(newestId(), id);
    EXPECT_EQ(readRow(newestId()).amount, 99.0);
    EXPECT_EQ(readRow(newestId()).reason, u"Rent"_s);
}

TEST_P(EntryWindowBesideAnotherProgram, AChangeThatLeavesTheRowAsItWasDoesNotStandInTheWay)
{
    const auto mine = openEntryWindow(id);
    LedgerEntries(other).update(sampleEntry(u"Rent"_s, u"10"_s), id);
    control<QLineEdit>(mine.get(), u"Text1"_s)->setText(u"99"_s);
    press(mine.get(), u"PushButton2"_s);
    EXPECT_EQ(prompts.texts(), QStringList{u"Record successfully saved."_s});
    EXPECT_EQ(readRow(id).amount, 99.0);
}

INSTANTIATE_TEST_SUITE_P(Engines, EntryWindowBesideAnotherProgram,
                         testing::Values(LedgerKind::File, LedgerKind::Server), ledgerKindName);
