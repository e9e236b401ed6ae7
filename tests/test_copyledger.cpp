// "Copy this ledger to a server…" and "Copy this ledger to a file…" from the list's menu: the whole
// ledger copied and checked, a server ledger that is not empty refused, and nothing half-made left.
#include "base/paths.h"
#include "ledgerlist/ledgermodel.h"
#include "settings/settings.h"
#include "store/connection.h"
#include "store/ledgercopy.h"
#include "store/ledgerlocation.h"
#include "store/programconnection.h"
#include "support/ledgerfixture.h"
#include "support/ledgerkinds.h"
#include "support/mainwindow.h"
#include "support/modal.h"
#include "support/postgresserver.h"
#include "support/progresscancel.h"
#include "support/scriptedprompter.h"
#include "support/windowdriver.h"
#include "ui/main/form1.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using namespace Qt::StringLiterals;
using Role = PostgresServer::Role;

namespace {

const QString toServer = u"Copy this ledger to a server…"_s;
const QString toFile = u"Copy this ledger to a file…"_s;

QString writerOf(const QString& database)
{
    return testServer().connectionString(Role::Writer, database);
}

LedgerSummary tallyOf(const QString& connectionText)
{
    Connection ledger;
    ledger.open(connectionText, Connection::Access::ReadOnly);
    return tallyLedger(ledger);
}

// The names of the files in `folder`, hidden ones too.
std::string filesIn(const QTemporaryDir& folder)
{
    return QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).join(u", "_s).toStdString();
}

void expectSameSummary(const LedgerSummary& actual, const LedgerSummary& expected)
{
    EXPECT_EQ(actual.entries, expected.entries);
    EXPECT_EQ(actual.received, expected.received);
    EXPECT_EQ(actual.paid, expected.paid);
}

// Answers the next "Copy this ledger to a server" dialog with `text`.
void answerServerDialog(const QString& text)
{
    whenModalOpens([text](QWidget* dialog) {
        EXPECT_EQ(control<QLineEdit>(dialog, u"location"_s)->text(), QString()) << "a copy starts from nothing";
        control<QLineEdit>(dialog, u"location"_s)->setText(text);
        qobject_cast<QDialog*>(dialog)->accept();
    });
}

// Answers the next file dialog with `path` as typed, and its question whether to replace a file that
// is there with Yes. `onOpen` sees the dialog first.
void answerFileDialog(const QString& path, const std::function<void(QWidget*)>& onOpen = {})
{
    whenModalOpens([path, onOpen](QWidget* dialog) {
        if (onOpen)
            onOpen(dialog);
        control<QLineEdit>(dialog, u"fileNameEdit"_s)->setText(path);
        if (QFileInfo::exists(path))
            whenModalOpens(
                [](QWidget* question) { qobject_cast<QMessageBox*>(question)->button(QMessageBox::Yes)->click(); });
        QMetaObject::invokeMethod(dialog, "accept");
    });
}

QList<Entry> threeEntries()
{
    return {sampleEntry(u"Rent"_s, u"700"_s, Direction::PaidOut), sampleEntry(u"Gig"_s, u"12.5"_s),
            sampleEntry(u"Refund"_s, u"0.1"_s)};
}

// The main window as the program starts it, on the ledger the setting names.
class CopyLedgerTest : public testing::Test
{
protected:
    void start(const QString& location)
    {
        SaveSetting(u"LedgerLocation"_s, location);
        window.Form_Load();
        window.show();
        ASSERT_TRUE(boxes.messages.isEmpty()) << boxes.texts().join(u'\n').toStdString();
    }
    // The entries added in one batch over the window's connection, and listed.
    void fill(const QList<Entry>& entries)
    {
        inOneBatch(Conn(), [&] {
            for (const Entry& entry : entries)
                Conn().execute(insertEntry(entry));
        });
        window.ListData();
    }
    QString shown() const { return boxes.texts().join(u'\n'); }

    ScriptedPrompter boxes;
    Form1 window;
    QTemporaryDir folder;
};

} // namespace

TEST_F(CopyLedgerTest, AFileCopiedToAServerIsUsedFromThenOnOnlyWhenTheUserSaysYes)
{
    for (const bool yes : {false, true}) {
        SCOPED_TRACE(yes ? "Yes" : "No");
        if (!yes) {
            start(QString());
            fill(threeEntries());
        }
        const LedgerSummary file = tallyOf(connectionString(SpecialFolderPath(35)));
        const QString server = writerOf(newServerDatabase());
        boxes.messages.clear();
        boxes.yesNoAnswers = {yes};
        answerServerDialog(server);
        runMenuCommand(window, toServer);

        ASSERT_EQ(boxes.messages.size(), 1) << shown().toStdString();
        EXPECT_TRUE(boxes.texts()[0].startsWith(
            u"3 entries were copied to %1 and checked"_s.arg(LedgerLocation::fromText(server).describe())))
            << shown().toStdString();
        EXPECT_TRUE(boxes.texts()[0].endsWith(u"Use the ledger on the server from now on?"_s));
        expectSameSummary(tallyOf(server), file);
        EXPECT_EQ(window.ledgerLocation().onServer(), yes);
        EXPECT_EQ(GetSetting(u"LedgerLocation"_s, u"unset"_s), yes ? server : QString());
        EXPECT_EQ(window.ledgerModel()->rowCount(), 3);
        if (yes) {
            EXPECT_EQ(window.ledgerModel()->text(0, 3), u"Rent"_s) << "listed from the server";
        }
    }
}

TEST_F(CopyLedgerTest, ACopyToAServerThatCannotTakeItSaysWhyAndChangesNothing)
{
    start(QString());
    fill(threeEntries());
    const QString occupied = writerOf(newServerDatabase());
    {
        Connection other;
        other.open(occupied);
        other.execute(insertEntry(sampleEntry(u"Theirs"_s, u"5"_s)));
    }
    const struct
    {
        const char* what;
        QString text;
        QString why;
    } cases[] = {
        {"a server ledger that holds entries", occupied,
         u"The ledger to copy into is not empty; nothing was copied."_s},
        {"a password", u"host=db dbname=office password=hunter2"_s,
         u"A connection string may not hold a password: put it in ~/.pgpass or a service file."_s},
        {"no server", QString(), u"Give the connection string of the server ledger to copy this ledger to."_s},
    };
    for (const auto& [what, text, why] : cases) {
        boxes.messages.clear();
        answerServerDialog(text);
        runMenuCommand(window, toServer);
        ASSERT_EQ(boxes.messages.size(), 1) << what << shown().toStdString();
        EXPECT_TRUE(boxes.texts()[0].startsWith(u"The ledger was not copied"_s)) << what;
        EXPECT_TRUE(boxes.texts()[0].endsWith(u"\n\n"_s + why)) << what << ": " << shown().toStdString();
        EXPECT_FALSE(boxes.texts()[0].contains(u"hunter2"_s)) << what;
        EXPECT_FALSE(window.ledgerLocation().onServer()) << what;
        EXPECT_EQ(window.ledgerModel()->rowCount(), 3) << what;
    }
    const LedgerSummary theirs = tallyOf(occupied);
    EXPECT_EQ(theirs.entries, 1);
    EXPECT_EQ(theirs.received, 5);
}

class CopyLedgerToFile : public CopyLedgerTest, public testing::WithParamInterface<LedgerKind>
{
};

TEST_P(CopyLedgerToFile, TheFileHoldsTheSameLedgerPrivatelyAndNothingElseIsLeft)
{
    start(GetParam() == LedgerKind::Server ? writerOf(newServerDatabase()) : QString());
    fill(threeEntries());
    const LedgerSummary source = tallyOf(window.ledgerLocation().connectionText());
    // As typed: the dialog adds the suffix.
    answerFileDialog(folder.filePath(u"office copy"_s), [](QWidget* dialog) {
        EXPECT_EQ(control<QLineEdit>(dialog, u"fileNameEdit"_s)->text(), u"Quorvane ledger.mdb"_s);
    });
    runMenuCommand(window, toFile);

    const QString copy = folder.filePath(u"office copy.mdb"_s);
    EXPECT_EQ(shown().toStdString(), u"3 entries were copied to %1 and checked: the copy holds as many entries, "
                                     u"with the same Received and Paid totals, as this ledger."_s.arg(copy)
                                         .toStdString());
    expectSameSummary(summarizeLedger(copy), source);
    EXPECT_EQ(fileMode(copy), 0600u);
    EXPECT_EQ(filesIn(folder), "office copy.mdb");
    EXPECT_EQ(window.ledgerLocation().onServer(), GetParam() == LedgerKind::Server) << "the window stays";
}

INSTANTIATE_TEST_SUITE_P(From, CopyLedgerToFile, testing::Values(LedgerKind::File, LedgerKind::Server), ledgerKindName);

TEST_F(CopyLedgerTest, ACancelledCopyToAFileLeavesWhatStoodThereAndNothingElse)
{
    start(QString());
    // Enough entries for a few turns of the progress.
    fill(QList<Entry>(3000, sampleEntry(u"Many"_s, u"1"_s)));
    const QString existing = folder.filePath(u"existing.mdb"_s);
    {
        QFile file(existing);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("keep me");
    }
    std::unique_ptr<ProgressCancel> cancel;
    answerFileDialog(existing, [&](QWidget* dialog) { cancel = std::make_unique<ProgressCancel>(dialog); });
    runMenuCommand(window, toFile);

    ASSERT_TRUE(cancel && cancel->pressed());
    EXPECT_TRUE(boxes.messages.isEmpty()) << shown().toStdString();
    QFile file(existing);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "keep me");
    EXPECT_EQ(filesIn(folder), "existing.mdb");
}

TEST_F(CopyLedgerTest, TheLedgerFileInUseIsNoPlaceForItsCopy)
{
    start(QString());
    fill(threeEntries());
    answerFileDialog(databaseFile());
    runMenuCommand(window, toFile);
    EXPECT_EQ(shown().toStdString(), u"The ledger was not copied to %1.\n\nThat is the ledger in use; choose another "
                                     u"name for the copy."_s.arg(databaseFile())
                                         .toStdString());
    EXPECT_EQ(entryCount(), 3);
    window.ListData();
    EXPECT_EQ(window.ledgerModel()->rowCount(), 3);
}
