// What a restore accepts from a file someone handed over: only a ledger, and of it only the entries.
// Each source goes through the program itself (quorvane --restore FILE); what comes back is then
// used through the entry window, as the user would.
#include "base/paths.h"
#include "store/programconnection.h"
#include "store/recordset.h"
#include "support/ledgerfixture.h"
#include "support/ledgersnapshot.h"
#include "support/scriptedprompter.h"
#include "support/windowdriver.h"
#include "ui/backups/safetynet.h"
#include "ui/entry/form2.h"
#include "ui/main/form1.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

enum class Outcome { Refused, Restored };

struct Source
{
    const char* name;
    // Run on a copy of the template holding three entries; none means the file is made otherwise.
    const char* sql;
    Outcome outcome;
    const char* reason; // words the refusal must hold
};

const Source sources[] = {
    {"trigger",
     "create trigger t after insert on tblData begin update tblData set amount=amount*100, notes='TAMPERED' "
     "where id=new.id; end;",
     Outcome::Restored, ""},
    {"view", "create view v as select * from tblData;", Outcome::Restored, ""},
    {"extra table", "create table extra(x); insert into extra values (1);", Outcome::Restored, ""},
    {"extra column", "alter table tblData add column foo text;", Outcome::Refused, "columns"},
    {"missing column",
     "create table t2 as select id, datercvd, reason, fromcompany, tocompany, amount, paymentmethod, notes from "
     "tblData; drop table tblData; alter table t2 rename to tblData;",
     Outcome::Refused, "columns"},
    {"other columns", "drop table tblData; create table tblData(id integer primary key, foo text);", Outcome::Refused,
     "columns"},
    {"wrong column type",
     "drop table tblData; create table tblData (id INTEGER PRIMARY KEY AUTOINCREMENT, datercvd DATE, reason TEXT, "
     "fromcompany TEXT, tocompany TEXT, amount TEXT, paymentmethod TEXT, notes TEXT, paymenttype INTEGER);",
     Outcome::Refused, "columns"},
    {"tblData a view", "alter table tblData rename to realdata; create view tblData as select * from realdata;",
     Outcome::Refused, "view"},
    {"no tblReport", "drop table tblReport;", Outcome::Refused, "tblReport"},
    {"ledger from before repeating entries", "drop table tblRepeat; drop table tblRepeatPosted;", Outcome::Restored,
     ""},
    {"other columns of repeating entries", "alter table tblRepeatPosted add column foo text;", Outcome::Refused,
     "tblRepeatPosted has the columns"},
    {"repeating entries a view", "alter table tblRepeat rename to rules; create view tblRepeat as select * from rules;",
     Outcome::Refused, "tblRepeat is a view"},
    {"random bytes", nullptr, Outcome::Refused, ""},
    {"pipe", nullptr, Outcome::Refused, "pipe"},
    {"link to a device", nullptr, Outcome::Refused, "device"},
};

QByteArray fileHash(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

void runSql(const QString& path, const char* sql)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, &error);
    EXPECT_EQ(rc, SQLITE_OK) << (error ? error : "");
    sqlite3_free(error);
    sqlite3_close(db);
}

// The rows of the repeating entries' tables, or none when the file has no such tables.
LedgerSnapshot repeatRows(const QString& path, const QStringList& objects)
{
    LedgerSnapshot rows;
    for (const char* table : {"tblRepeat", "tblRepeatPosted"}) {
        if (objects.contains(u"table "_s + QLatin1StringView(table)))
            rows += snapshotRows(path, QByteArray("SELECT * FROM ") + table + " ORDER BY rowid");
    }
    return rows;
}

// The schema objects a ledger file holds, as "type name" texts.
QStringList objectsOf(const QString& path)
{
    QStringList objects;
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, "select type || ' ' || name from sqlite_master order by 1", -1, &stmt, nullptr);
    while (sqlite3_step(stmt) == SQLITE_ROW)
        objects.append(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0))));
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return objects;
}

QString makeSource(const Source& source)
{
    const QString path = homeFolder(u"handed-over"_s) + u"/ledger.mdb"_s;
    if (source.sql) {
        QFile::copy(templateLedgerPath(), path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        runSql(path,
               "insert into tblData (datercvd, reason, fromcompany, tocompany, amount, paymentmethod, notes, "
               "paymenttype) values ('2026-01-02', 'Gig', 'A', 'B', 250.5, 'Cash', '', 1), ('2026-01-03', 'Rent', "
               "'B', 'C', 99.25, 'Transfer', 'n', 2), ('2026-01-04', 'Water Bill', 'B', 'D', 12, 'Cash', '', 2);"
               "insert into tblRepeat (reason, fromcompany, tocompany, amount, paymentmethod, notes, paymenttype, "
               "unit, every, monthday, startdate, endkind, enddate, endcount, paused) values ('Rent', 'B', 'C', "
               "99.25, 'Transfer', 'n', 2, 3, 1, 3, '2026-01-03', 2, null, 12, 0);"
               "insert into tblRepeatPosted values (1, '2026-01-03', 2), (1, '2026-02-03', null);");
        runSql(path, source.sql);
    } else if (QByteArray(source.name) == "random bytes") {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        QByteArray bytes(64 * 1024, '\0');
        for (qsizetype i = 0; i < bytes.size(); ++i)
            bytes[i] = char((i * 7919 + 13) % 251);
        file.write(bytes);
    } else if (QByteArray(source.name) == "pipe") {
        EXPECT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else {
        EXPECT_TRUE(QFile::link(u"/dev/zero"_s, path));
    }
    return path;
}

struct TerminalRun
{
    int exitCode = -1;
    QString out, err;
};

TerminalRun restoreFromTerminal(const QString& file)
{
    QProcess quorvane;
    quorvane.start(QCoreApplication::applicationDirPath() + u"/quorvane"_s, {u"--restore"_s, file});
    TerminalRun run;
    if (!quorvane.waitForFinished(60000)) {
        quorvane.kill();
        quorvane.waitForFinished();
        ADD_FAILURE() << "quorvane --restore did not end";
        return run;
    }
    run.exitCode = quorvane.exitCode();
    run.out = QString::fromUtf8(quorvane.readAllStandardOutput());
    run.err = QString::fromUtf8(quorvane.readAllStandardError());
    return run;
}

// Types an entry in the entry window and presses OK; returns the stored amount and notes.
std::pair<double, QString> saveTypedEntry(const QString& amount, const QString& notes)
{
    const auto form = openEntryWindow();
    pick(combo(form.get(), 1), u"Rent"_s);
    pick(combo(form.get(), 2), u"Marrowfen"_s);
    pick(combo(form.get(), 3), u"Tobren"_s);
    pick(combo(form.get(), 4), u"Cash"_s);
    control<QLineEdit>(form.get(), u"Text1"_s)->setText(amount);
    control<QPlainTextEdit>(form.get(), u"Text2"_s)->setPlainText(notes);
    press(form.get(), u"PushButton2"_s);
    Recordset rs;
    rs.open(u"select amount, notes from tblData where id = "_s + newestId(), Conn());
    return {rs.field(u"amount").toDouble(), rs.field(u"notes").toString()};
}

class RestoreSources : public testing::TestWithParam<Source>
{
};

} // namespace

TEST_P(RestoreSources, OnlyALedgerIsRestoredAndOnlyItsEntriesComeBack)
{
    const Source& source = GetParam();
    ScriptedPrompter boxes;
    Form1 window;
    window.Form_Load();
    addEntry(sampleEntry(u"Mine"_s, u"7"_s));
    const QString file = makeSource(source);
    const LedgerSnapshot sourceRows = source.sql ? snapshotLedger(file) : LedgerSnapshot();
    const LedgerSnapshot sourceRepeats = source.sql ? repeatRows(file, objectsOf(file)) : LedgerSnapshot();
    const QStringList ownObjects = objectsOf(templateLedgerPath());
    const QByteArray before = fileHash(databaseFile());

    const TerminalRun run = restoreFromTerminal(file);
    if (source.outcome == Outcome::Refused) {
        EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
        EXPECT_TRUE(run.err.startsWith(u"Nothing was restored: '"_s + file + u"' cannot be restored: "_s))
            << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QString::fromLatin1(source.reason))) << run.err.toStdString();
        EXPECT_EQ(fileHash(databaseFile()), before) << "the ledger is byte for byte as it was";
        return;
    }
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(u"The ledger as it was is backed up in '"_s)) << run.out.toStdString();
    EXPECT_EQ(objectsOf(databaseFile()), ownObjects) << "none of the file's own triggers, views or tables came along";
    EXPECT_EQ(snapshotLedger(databaseFile()), sourceRows);
    EXPECT_EQ(repeatRows(databaseFile(), ownObjects), sourceRepeats) << "a ledger from before them has none";
    QDir data(dataFolder());
    EXPECT_EQ(data.entryList({u"*.restoring*"_s}), QStringList()) << "nothing is left beside the ledger";

    // The program's open connection works on the restored ledger, which stores what is typed.
    const auto [amount, notes] = saveTypedEntry(u"12.34"_s, u"as typed"_s);
    EXPECT_EQ(amount, 12.34);
    EXPECT_EQ(notes, u"as typed"_s);
    EXPECT_TRUE(boxes.errorReports().isEmpty()) << boxes.texts().join(u"\n").toStdString();
}

INSTANTIATE_TEST_SUITE_P(HandedOverFiles, RestoreSources, testing::ValuesIn(sources),
                         [](const testing::TestParamInfo<Source>& info) {
                             QString name = QString::fromLatin1(info.param.name);
                             return name.replace(u' ', u'_').toStdString();
                         });
