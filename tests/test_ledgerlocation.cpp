// Where the ledger is: the private file or a server named in the settings, the window opened on it,
// "Ledger location…" changing it, and a server user who may read the ledger but not change it.
#include "base/paths.h"
#include "ledgerlist/ledgermodel.h"
#include "settings/settings.h"
#include "store/backups.h"
#include "store/connection.h"
#include "store/ledgerlocation.h"
#include "store/programconnection.h"
#include "store/recordset.h"
#include "store/serverrefusal.h"
#include "store/storeerror.h"
#include "support/ledgerfixture.h"
#include "support/ledgerkinds.h"
#include "support/mainwindow.h"
#include "support/modal.h"
#include "support/postgresserver.h"
#include "support/scriptedprompter.h"
#include "support/windowdriver.h"
#include "ui/backups/safetynet.h"
#include "ui/main/form1.h"
#include "ui/main/ledgerhistory.h"

#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QUndoStack>
#include <functional>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using Role = PostgresServer::Role;

namespace {

const QString passwordRefusal =
    u"A connection string may not hold a password: put it in ~/.pgpass or a service file."_s;

QString failureOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const std::exception& error) {
        return QString::fromUtf8(error.what());
    }
    return {};
}

int rowsOf(Connection& connection)
{
    Recordset rs;
    rs.open(u"select count(*) as n from tblData"_s, connection);
    return rs.field(u"n").toInt();
}

// A server ledger of its own holding one entry, as its writer made it; returns the database's name.
QString serverLedgerWithOneEntry()
{
    const QString database = newServerDatabase();
    Connection writer;
    writer.open(testServer().connectionString(Role::Writer, database));
    writer.execute(insertEntry(sampleEntry(u"Shared"_s, u"7"_s)));
    return database;
}

int serverRows(const QString& database)
{
    Connection writer;
    writer.open(testServer().connectionString(Role::Writer, database));
    return rowsOf(writer);
}

} // namespace

TEST(LedgerLocation, TheTextNamesTheFileOrAServerAndNeverAPassword)
{
    const LedgerLocation file = LedgerLocation::fromText(QString());
    EXPECT_FALSE(file.onServer());
    EXPECT_EQ(file.connectionText(), connectionString(SpecialFolderPath(35)));
    EXPECT_EQ(file.describe(), databaseFile());

    // The same server in libpq's two forms is the same ledger.
    const LedgerLocation keywords =
        LedgerLocation::fromText(u"host=db.example.com port=5433 dbname=office user=anna"_s);
    const LedgerLocation uri = LedgerLocation::fromText(u"postgresql://anna@db.example.com:5433/office"_s);
    EXPECT_TRUE(keywords.onServer());
    EXPECT_EQ(keywords.describe(), u"database office at db.example.com:5433 as anna"_s);
    EXPECT_EQ(uri.describe(), keywords.describe());
    EXPECT_EQ(uri.key(), keywords.key());
    EXPECT_NE(LedgerLocation::fromText(u"host=db.example.com port=5433 dbname=office user=bert"_s).key(),
              keywords.key());
    EXPECT_NE(keywords.key(), file.key());
    EXPECT_EQ(LedgerLocation::fromText(u"dbname=office"_s).describe(), u"database office"_s);

    const struct
    {
        const char* text;
        bool password;
    } refused[] = {
        {"host=db dbname=office password=hunter2", true},
        {"postgresql://anna:hunter2@db/office", true},
        {"postgresql://db/office?password=hunter2", true},
        {"host=db password='hunter2", true}, // unreadable, and still never quoted
        {"data source=/home/anna/other.mdb", false},
        {"hunter2", false},
    };
    for (const auto& [text, password] : refused) {
        const QString why = failureOf([&] { LedgerLocation::fromText(QString::fromUtf8(text)); });
        EXPECT_TRUE(password ? why == passwordRefusal : why.startsWith(u"The ledger location names no server"_s))
            << text << ": " << why.toStdString();
        EXPECT_FALSE(why.contains(u"hunter2"_s)) << text;
    }
}

TEST(LedgerLocation, AKeptTextThatNamesNoServerFailsWhenOpenedWithoutShowingIt)
{
    EXPECT_FALSE(LedgerLocation::chosen().onServer());
    SaveSetting(u"LedgerLocation"_s, u"host=db dbname=office password=hunter2"_s);
    const LedgerLocation kept = LedgerLocation::chosen();
    EXPECT_TRUE(kept.onServer());
    EXPECT_EQ(failureOf([&] { kept.connectionText(); }), passwordRefusal);
    EXPECT_FALSE(kept.describe().contains(u"hunter2"_s));
    EXPECT_FALSE(kept.key().contains(u"hunter2"_s));
}

TEST(LedgerLocation, OnlyAStatementThatReadsAndLocksNothingIsNoWrite)
{
    const struct
    {
        const char* sql;
        bool readsOnly;
    } cases[] = {
        {"select * from tbldata", true},
        {"  SELECT count(*) FROM tbldata WHERE reason = $1", true},
        {"SELECT id FROM tbldata WHERE id = $1 FOR UPDATE", false},
        {"select id from tbldata where id = $1 for no key update", false},
        {"insert into tbldata (reason) values ($1)", false},
        {"delete from tbldata where id = 3", false},
        {"WITH gone AS (DELETE FROM tbldata RETURNING id) SELECT * FROM gone", false},
    };
    for (const auto& [sql, expected] : cases)
        EXPECT_EQ(readsOnly(QByteArrayView(sql)), expected) << sql;
}

// The main window as the program starts it, with the setting naming the ledger beforehand.
class LocationWindowTest : public testing::Test
{
protected:
    void start(const QString& location)
    {
        SaveSetting(u"LedgerLocation"_s, location);
        window.Form_Load();
        window.show();
    }
    int listed() const { return window.ledgerModel()->rowCount(); }

    ScriptedPrompter boxes;
    Form1 window;
};

TEST_F(LocationWindowTest, TheWindowOpensOnTheServerTheSettingNamesAndMakesNoFile)
{
    const QString database = serverLedgerWithOneEntry();
    start(testServer().connectionString(Role::Writer, database));
    EXPECT_TRUE(boxes.messages.isEmpty()) << boxes.texts().join(u'\n').toStdString();
    EXPECT_TRUE(window.ledgerLocation().onServer());
    EXPECT_EQ(listed(), 1);
    EXPECT_EQ(window.ledgerModel()->text(0, 3), u"Shared"_s);
    EXPECT_FALSE(QFile::exists(databaseFile()));
}

TEST_F(LocationWindowTest, OnAServerLedgerTheServerIsBackedUpAndRestoredAndTheFileLeftBehindIsNot)
{
    // A ledger file from the days before the server: it is not the ledger now.
    openFreshLedger();
    addEntry(sampleEntry(u"Local"_s, u"3"_s));
    ConnSlot().reset();
    const QString database = serverLedgerWithOneEntry();
    start(testServer().connectionString(Role::Writer, database));
    window.startSafetyNet();
    window.safetyNet()->waitUntilIdle();
    EXPECT_TRUE(QDir(backupsFolderOf(databaseFile())).entryList(QDir::Files).isEmpty());
    const QList<BackupFile> taken = window.safetyNet()->backups().list();
    ASSERT_EQ(taken.size(), 1) << boxes.texts().join(u'\n').toStdString();
    EXPECT_EQ(window.safetyNet()->backups().summary(taken.front()).entries, 1);

    addEntry(sampleEntry(u"After the backup"_s, u"5"_s));
    EXPECT_TRUE(window.safetyNet()->restore(taken.front())) << boxes.texts().join(u'\n').toStdString();
    EXPECT_EQ(serverRows(database), 1);
    EXPECT_EQ(listed(), 1) << "the window follows the restored ledger";
}

// As a file that cannot be opened: the open step says why, then the refill finds no ledger.
TEST(LocationWindow, AServerLedgerThatCannotBeOpenedIsReportedAtTheOpenStep)
{
    QTemporaryDir nowhere;
    const struct
    {
        QString location;
        QString why;
    } cases[] = {
        {u"host=%1 port=5999 dbname=office user=anna"_s.arg(nowhere.path()), u"connection to server on socket"_s},
        {testServer().connectionString(Role::Reader, newServerDatabase()),
         u"This server ledger is not set up yet: its owner starts Quorvane on it once.\r\n"_s},
    };
    for (const auto& [location, why] : cases) {
        ScriptedPrompter boxes;
        SaveSetting(u"LedgerLocation"_s, location);
        Form1 window;
        window.Form_Load();
        const QStringList reports = boxes.errorReports();
        ASSERT_EQ(reports.size(), 2) << boxes.texts().join(u'\n').toStdString();
        EXPECT_TRUE(reports[0].startsWith(why)) << reports[0].toStdString();
        EXPECT_TRUE(reports[0].contains(u"Form_Load at line 142"_s)) << reports[0].toStdString();
        EXPECT_TRUE(reports[1].contains(u"Form1.ListData at line 104"_s)) << reports[1].toStdString();
        EXPECT_FALSE(QFile::exists(databaseFile()));
    }
}

TEST_F(LocationWindowTest, AReaderSeesTheListButEveryChangeIsRefusedInWordsAndNothingIsWritten)
{
    const QString database = serverLedgerWithOneEntry();
    const QString reader = testServer().connectionString(Role::Reader, database);
    start(reader);
    ASSERT_TRUE(boxes.messages.isEmpty()) << boxes.texts().join(u'\n').toStdString();
    ASSERT_EQ(listed(), 1);
    const QString refusal =
        u"You may read this ledger on %1 but not change it."_s.arg(LedgerLocation::fromText(reader).describe());

    const struct
    {
        const char* command;
        std::function<void()> run;
    } commands[] = {
        {"add",
         [&] {
             whenModalOpens([](QWidget* entry) {
                 for (int i = 1; i <= 4; ++i)
                     combo(entry, i)->setCurrentIndex(0);
                 control<QLineEdit>(entry, u"Text1"_s)->setText(u"12.5"_s);
                 press(entry, u"PushButton2"_s);
                 // Refused: the window stays open with what was typed, and is cancelled.
                 EXPECT_TRUE(entry->isVisible());
                 press(entry, u"PushButton1"_s);
             });
             press(&window, u"PushButton2"_s);
         }},
        {"delete", [&] { press(&window, u"PushButton3"_s); }},
        {"duplicate", [&] { press(&window, u"PushButton4"_s); }},
    };
    for (const auto& [command, run] : commands) {
        boxes.messages.clear();
        window.listView()->selectRow(0);
        run();
        EXPECT_EQ(boxes.texts(), QStringList{refusal}) << command;
        EXPECT_TRUE(boxes.errorReports().isEmpty()) << command;
        EXPECT_EQ(listed(), 1) << command;
        EXPECT_EQ(serverRows(database), 1) << command;
    }
}

TEST_F(LocationWindowTest, ALedgerLocationThatCannotBeOpenedKeepsTheOldOne)
{
    start(QString());
    addEntry(sampleEntry(u"Local"_s, u"3"_s));
    window.ListData();
    QTemporaryDir nowhere;
    const QString unreachable = u"host=%1 port=5999 dbname=office user=anna"_s.arg(nowhere.path());
    for (const QString& text : {unreachable, u"host=db dbname=office password=hunter2"_s}) {
        QString shown;
        whenModalOpens([&](QWidget* dialog) {
            shown = control<QLineEdit>(dialog, u"location"_s)->text();
            control<QLineEdit>(dialog, u"location"_s)->setText(text);
            qobject_cast<QDialog*>(dialog)->accept();
        });
        runMenuCommand(window, u"Ledger location…"_s);
        EXPECT_EQ(shown, QString()) << "the file is the empty text";
        ASSERT_EQ(boxes.messages.size(), 1);
        EXPECT_TRUE(boxes.texts()[0].startsWith(u"The ledger stays at "_s + databaseFile()))
            << boxes.texts()[0].toStdString();
        EXPECT_FALSE(boxes.texts()[0].contains(u"hunter2"_s));
        EXPECT_FALSE(boxes.texts()[0].contains(u"\n\t"_s)) << "libpq's terminal indent is left out";
        boxes.messages.clear();
        EXPECT_EQ(GetSetting(u"LedgerLocation"_s, u"unset"_s), QString());
        EXPECT_FALSE(window.ledgerLocation().onServer());
        EXPECT_EQ(listed(), 1);
        EXPECT_EQ(rowsOf(Conn()), 1);
    }
}

TEST_F(LocationWindowTest, ALedgerLocationThatOpensIsKeptAndTheListFollowsIt)
{
    start(QString());
    addEntry(sampleEntry(u"Local"_s, u"3"_s));
    window.ListData();
    const QString database = serverLedgerWithOneEntry();
    const QString server = testServer().connectionString(Role::Writer, database);
    const auto choose = [&](const QString& text) {
        whenModalOpens([&](QWidget* dialog) {
            control<QLineEdit>(dialog, u"location"_s)->setText(text);
            qobject_cast<QDialog*>(dialog)->accept();
        });
        runMenuCommand(window, u"Ledger location…"_s);
    };

    choose(server);
    EXPECT_TRUE(boxes.messages.isEmpty()) << boxes.texts().join(u'\n').toStdString();
    EXPECT_EQ(GetSetting(u"LedgerLocation"_s, QString()), server);
    EXPECT_EQ(window.ledgerModel()->text(0, 3), u"Shared"_s);
    EXPECT_EQ(window.history()->stack()->count(), 0);

    // And back: the empty text is the file again, as it was left.
    choose(QString());
    EXPECT_EQ(GetSetting(u"LedgerLocation"_s, u"unset"_s), QString());
    EXPECT_EQ(window.ledgerModel()->text(0, 3), u"Local"_s);
}
