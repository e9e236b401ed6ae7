// The commands for scripts, run as the program itself, without a display, over the ledger that the
// test's window has open, and checked against SQL over the same file and against the window.
#include "base/paths.h"
#include "importing/csvreader.h"
#include "settings/settings.h"
#include "store/connection.h"
#include "store/ledgerentries.h"
#include "store/programconnection.h"
#include "support/fakespreadsheet.h"
#include "support/ledgerfixture.h"
#include "support/ledgerkinds.h"
#include "support/mainwindow.h"
#include "support/pdftext.h"
#include "support/postgresserver.h"
#include "support/windowdriver.h"
#include "support/xlsxreader.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTest>
#include <gtest/gtest.h>
#include <random>
#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

struct Ran
{
    int exitCode = -1;
    QByteArray out, err;
};

// The program as a script starts it: no display, no platform chosen, in the language the window
// shows (the test's own), with the test's HOME and ledger.
void startQuorvane(QProcess& quorvane, const QStringList& arguments)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    environment.insert(u"LC_ALL"_s, u"en_US.UTF-8"_s);
    quorvane.setProcessEnvironment(environment);
    quorvane.start(QCoreApplication::applicationDirPath() + u"/quorvane"_s, arguments);
}

Ran runQuorvane(const QStringList& arguments)
{
    QProcess quorvane;
    startQuorvane(quorvane, arguments);
    if (!quorvane.waitForFinished(120000)) {
        quorvane.kill();
        ADD_FAILURE() << "quorvane " << arguments.join(u' ').toStdString() << " did not end";
    }
    return {quorvane.exitStatus() == QProcess::NormalExit ? quorvane.exitCode() : -1, quorvane.readAllStandardOutput(),
            quorvane.readAllStandardError()};
}

QByteArray sha256(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

// SQLite's own reading of the ledger file, apart from the program's store.
QList<QVariantList> query(const QString& sql)
{
    sqlite3* db = nullptr;
    sqlite3_stmt* statement = nullptr;
    QList<QVariantList> rows;
    if (sqlite3_open_v2(databaseFile().toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK ||
        sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &statement, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << sqlite3_errmsg(db);
    } else {
        while (sqlite3_step(statement) == SQLITE_ROW) {
            QVariantList row;
            for (int c = 0; c < sqlite3_column_count(statement); ++c) {
                switch (sqlite3_column_type(statement, c)) {
                case SQLITE_NULL:
                    row.append(QVariant());
                    break;
                case SQLITE_INTEGER:
                    row.append(qlonglong(sqlite3_column_int64(statement, c)));
                    break;
                case SQLITE_FLOAT:
                    row.append(sqlite3_column_double(statement, c));
                    break;
                default:
                    row.append(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, c))));
                }
            }
            rows.append(row);
        }
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return rows;
}

// Texts a script must get back exactly: separators, quotes, line breaks, escapes, accents, formulas.
const QStringList awkwardTexts = {u"plain"_s,        u"Rent, March"_s, u"say \"hi\""_s,
                                  u"two\nlines"_s,   u"tab\there"_s,   u"back\\slash"_s,
                                  u"Müller ÄÖÜ €"_s, u"=SUM(A1)"_s,    u""_s};

QList<Entry> seededEntries(int count)
{
    std::mt19937 random(20261208);
    const auto pick = [&] { return awkwardTexts[qsizetype(random() % awkwardTexts.size())]; };
    QList<Entry> entries;
    for (int i = 0; i < count; ++i) {
        Entry e;
        e.date = QDate(2024, 1, 1).addDays(qint64(random() % 900));
        e.reason = pick();
        e.fromCompany = pick();
        e.toCompany = pick();
        e.paymentMethod = pick();
        e.notes = pick();
        const unsigned cents = random() % 300000;
        e.amountText = u"%1.%2"_s.arg(cents / 100).arg(cents % 100, 2, 10, QChar(u'0'));
        e.direction = random() % 3 ? Direction::PaidOut : Direction::Received;
        entries.append(e);
    }
    return entries;
}

// Entries as SQL reads them: id, the date when it is one, the direction, the amount and the texts,
// in the ledger's order; `where` limits them by the valid date d.
QList<QVariantList> sqlEntries(const QString& where = {})
{
    return query(u"select * from (select id, case when date(datercvd, '+0 days') = datercvd then datercvd end as d, "
                 "case paymenttype when 1 then 'Received' when 2 then 'Paid Out' end, amount, reason, fromcompany, "
                 "tocompany, paymentmethod, notes from tblData) "_s +
                 (where.isEmpty() ? QString() : u" where "_s + where) + u" order by id"_s);
}

class CliCommands : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        listEntries(seededEntries(300));
        ledger = databaseFile();
    }

    // Entries that no window writes, which the commands must read as the window does.
    void spoilEntries()
    {
        spoilSomeEntries();
        window.ListData();
    }

    QString ledger;
};

struct RangeCase
{
    QString from, to, where; // where: the same range over the valid date d
};

const RangeCase ranges[] = {
    {{}, {}, {}},
    {u"2024-06-01"_s, {}, u"d >= '2024-06-01'"_s},
    {{}, u"2024-12-31"_s, u"d <= '2024-12-31'"_s},
    {u"2025-02-01"_s, u"2025-02-28"_s, u"d between '2025-02-01' and '2025-02-28'"_s},
    {u"2030-01-01"_s, u"2030-12-31"_s, u"d between '2030-01-01' and '2030-12-31'"_s},
};

QStringList rangeArguments(const RangeCase& range)
{
    QStringList arguments;
    if (!range.from.isEmpty())
        arguments << u"--from"_s << range.from;
    if (!range.to.isEmpty())
        arguments << u"--to"_s << range.to;
    return arguments;
}

TEST_F(CliCommands, TotalsEqualSqlForEveryRange)
{
    spoilEntries();
    for (const RangeCase& range : ranges) {
        SCOPED_TRACE(range.where.toStdString());
        const Ran ran = runQuorvane(QStringList{u"--totals"_s, u"--json"_s} + rangeArguments(range));
        ASSERT_EQ(ran.exitCode, 0) << ran.err.toStdString();
        EXPECT_TRUE(QRegularExpression(uR"(^\{"received": -?\d+\.\d\d, "paid": -?\d+\.\d\d, "balance": -?\d+\.\d\d, )"
                                       uR"("entries": \d+\}\n$)"_s)
                        .match(QString::fromUtf8(ran.out))
                        .hasMatch())
            << ran.out.toStdString();
        const QJsonObject totals = QJsonDocument::fromJson(ran.out).object();
        const QVariantList sql =
            query(u"select total(case when paymenttype = 1 then amount end), "
                  "total(case when paymenttype = 2 then amount end), count(*) from (select *, case when "
                  "date(datercvd, '+0 days') = datercvd then datercvd end as d from tblData)"_s +
                  (range.where.isEmpty() ? QString() : u" where "_s + range.where))
                .front();
        EXPECT_NEAR(totals[u"received"_s].toDouble(), sql[0].toDouble(), 0.005);
        EXPECT_NEAR(totals[u"paid"_s].toDouble(), sql[1].toDouble(), 0.005);
        EXPECT_NEAR(totals[u"balance"_s].toDouble(), sql[0].toDouble() - sql[1].toDouble(), 0.005);
        EXPECT_EQ(totals[u"entries"_s].toInteger(), sql[2].toLongLong());
    }
    // As text, the window's own summary and the count.
    const Ran ran = runQuorvane({u"--totals"_s});
    EXPECT_EQ(QString::fromUtf8(ran.out), (summaryCaptions(window) << u"Entries: 300"_s).join(u'\n') + u'\n');
}

// The entries of the list in each form, read back the way a script would, against SQL.
QList<QStringList> readBack(const QByteArray& out, const QString& form)
{
    QList<QStringList> rows;
    if (form == u"--json") {
        for (const QJsonValue& value : QJsonDocument::fromJson(out).array()) {
            const QJsonObject o = value.toObject();
            QStringList row;
            for (const char* key : {"id", "date", "direction", "amount", "reason", "from", "to", "method", "notes"}) {
                const QJsonValue v = o[QLatin1StringView(key)];
                row.append(v.isDouble() ? QString::number(v.toDouble(), 'f', key == "id"_L1 ? 0 : 2) : v.toString());
            }
            rows.append(row);
        }
        return rows;
    }
    if (form == u"--csv")
        return readCsv(out, CsvOptions{}).rows;
    for (const QByteArray& line : out.split('\n')) {
        if (line.isEmpty())
            continue;
        QStringList row;
        for (const QByteArray& field : line.split('\t'))
            row.append(QString::fromUtf8(field)
                           .replace(u"\\\\"_s, u"\x01"_s)
                           .replace(u"\\t"_s, u"\t"_s)
                           .replace(u"\\n"_s, u"\n"_s)
                           .replace(u"\\r"_s, u"\r"_s)
                           .replace(u"\x01"_s, u"\\"_s));
        rows.append(row);
    }
    return rows;
}

TEST_F(CliCommands, ListGivesEveryEntryOfTheRangeInEachForm)
{
    spoilEntries();
    const QStringList header = {u"id"_s,   u"date"_s, u"direction"_s, u"amount"_s, u"reason"_s,
                                u"from"_s, u"to"_s,   u"method"_s,    u"notes"_s};
    for (const QString& form : {u"--csv"_s, u"--json"_s, u"(text)"_s}) {
        for (const RangeCase& range : {ranges[0], ranges[3], ranges[4]}) {
            SCOPED_TRACE(form.toStdString() + " " + range.where.toStdString());
            QStringList arguments = QStringList{u"--list"_s} + rangeArguments(range);
            if (form.startsWith(u"--"))
                arguments.append(form);
            const Ran ran = runQuorvane(arguments);
            ASSERT_EQ(ran.exitCode, 0) << ran.err.toStdString();
            QList<QStringList> listed = readBack(ran.out, form);
            if (form != u"--json") {
                EXPECT_EQ(listed.takeFirst(), header);
            }
            const QList<QVariantList> expected = sqlEntries(range.where);
            ASSERT_EQ(listed.size(), expected.size());
            for (qsizetype i = 0; i < expected.size(); ++i) {
                QStringList row;
                for (const QVariant& value : expected[i])
                    row.append(value.typeId() == QMetaType::Double ? QString::number(value.toDouble(), 'f', 2)
                                                                   : value.toString());
                EXPECT_EQ(listed[i], row) << "entry " << i;
            }
        }
    }
}

TEST_F(CliCommands, ExportWritesTheCellsTheWindowsExportWrites)
{
    FakeSpreadsheetHome spreadsheet;
    spreadsheet.installProgram();
    tickAll(window);
    press(&window, u"PushButton6"_s);
    ASSERT_EQ(spreadsheet.launchArguments().size(), 3);
    const XlsxSheet fromWindow(spreadsheet.openedWorkbook());

    const QString file = homeFolder(u"out"_s) + u"/ledger.xlsx"_s;
    const Ran ran = runQuorvane({u"--export"_s, file});
    ASSERT_EQ(ran.exitCode, 0) << ran.err.toStdString();
    const XlsxSheet fromCommand(file);
    EXPECT_EQ(fromCommand.cells.size(), fromWindow.cells.size());
    for (auto it = fromWindow.cells.cbegin(); it != fromWindow.cells.cend(); ++it) {
        EXPECT_EQ(fromCommand.cells.value(it.key()).text, it->text) << it.key().toStdString();
        EXPECT_EQ(fromCommand.cells.value(it.key()).isNumber, it->isNumber) << it.key().toStdString();
    }
    EXPECT_EQ(fromCommand.widths, fromWindow.widths);
    EXPECT_EQ(fileMode(file), 0600u) << "a copy of a private ledger stays private";
}

TEST_F(CliCommands, ReportHoldsTheFirstAndLastEntriesAndTheTotals)
{
    const QString file = homeFolder(u"out"_s) + u"/report.pdf"_s;
    const Ran ran = runQuorvane({u"--report"_s, file});
    ASSERT_EQ(ran.exitCode, 0) << ran.err.toStdString();
    const QStringList pages = pdfPages(file);
    ASSERT_GT(pages.size(), 2);
    const QList<QVariantList> first = query(u"select datercvd, fromcompany from tblData order by id limit 1"_s);
    const QList<QVariantList> last = query(u"select datercvd, fromcompany from tblData order by id desc limit 1"_s);
    const auto shown = [](const QVariant& date) {
        return QDate::fromString(date.toString(), Qt::ISODate).toString(u"dd MMM yyyy"_s);
    };
    EXPECT_TRUE(pages.front().contains(shown(first[0][0]))) << pages.front().toStdString();
    EXPECT_TRUE(pages.join(u'\f').contains(shown(last[0][0])));
    const QStringList captions = summaryCaptions(window);
    const QString balance = captions[2].mid(captions[2].indexOf(u':') + 1).trimmed();
    EXPECT_TRUE(pages.back().contains(balance)) << pages.back().toStdString();
}

TEST_F(CliCommands, ReadingCommandsLeaveTheOpenLedgerUntouched)
{
    const QByteArray before = sha256(ledger);
    const QString out = homeFolder(u"out"_s);
    for (const QStringList& arguments : {QStringList{u"--totals"_s},
                                         {u"--list"_s, u"--json"_s},
                                         {u"--export"_s, out + u"/a.xlsx"_s},
                                         {u"--report"_s, out + u"/a.pdf"_s}}) {
        const Ran ran = runQuorvane(arguments);
        EXPECT_EQ(ran.exitCode, 0) << arguments.join(u' ').toStdString() << ran.err.toStdString();
    }
    EXPECT_EQ(sha256(ledger), before);
}

TEST_F(CliCommands, WhatCannotBeDoneFailsWithAMessageAndWritesNothing)
{
    spoilEntries();
    const QString out = homeFolder(u"out"_s);
    const struct
    {
        QStringList arguments;
        QString said;
    } cases[] = {
        {{u"--report"_s, out + u"/spoilt.pdf"_s}, u"has no date the report can print"_s},
        {{u"--export"_s, out}, u"is a folder"_s},
        {{u"--export"_s, out + u"/no/such/folder/a.xlsx"_s}, u"Could not write"_s},
    };
    for (const auto& c : cases) {
        const Ran ran = runQuorvane(c.arguments);
        EXPECT_EQ(ran.exitCode, 1) << c.arguments.join(u' ').toStdString();
        EXPECT_TRUE(QString::fromUtf8(ran.err).contains(c.said)) << ran.err.toStdString();
    }
    EXPECT_EQ(QDir(out).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden), QStringList());
}

TEST(CliUsage, MisusedOptionsGiveTheUsageAndExitCodeTwo)
{
    const QList<QStringList> misuses = {
        {u"--json"_s},
        {u"--totals"_s, u"--csv"_s},
        {u"--list"_s, u"--csv"_s, u"--json"_s},
        {u"--totals"_s, u"--from"_s, u"2026-02-30"_s},
        {u"--totals"_s, u"--to"_s, u"31.12.2026"_s},
        {u"--list"_s, u"--from"_s, u"2026-12-31"_s, u"--to"_s, u"2026-01-01"_s},
        {u"--totals"_s, u"--list"_s},
        {u"--export"_s, u"a.xlsx"_s, u"--ticked"_s},
        {u"--list"_s, u"statement.csv"_s},
        {u"--from"_s, u"2026-01-01"_s},
        {u"--import"_s, u"statement.csv"_s, u"--totals"_s},
        {u"--import"_s, u"statement.csv"_s, u"--json"_s},
    };
    for (const QStringList& arguments : misuses) {
        const Ran ran = runQuorvane(arguments);
        EXPECT_EQ(ran.exitCode, 2) << arguments.join(u' ').toStdString();
        EXPECT_TRUE(ran.err.contains("Usage:")) << arguments.join(u' ').toStdString();
        EXPECT_TRUE(ran.out.isEmpty()) << arguments.join(u' ').toStdString();
    }
}

TEST(CliUsage, BeforeTheFirstStartTheLedgerIsEmptyAndNotMade)
{
    const Ran ran = runQuorvane({u"--totals"_s, u"--json"_s});
    EXPECT_EQ(ran.exitCode, 0) << ran.err.toStdString();
    EXPECT_EQ(ran.out, "{\"received\": 0.00, \"paid\": 0.00, \"balance\": 0.00, \"entries\": 0}\n");
    EXPECT_FALSE(QFile::exists(databaseFile()));
}

// The settings file as it lies on disk, whatever it holds.
QByteArray settingsFile()
{
    QFile file(QSettings(u"Marrowfen"_s, u"Quorvane"_s).fileName());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString keptLocation()
{
    return GetSetting(u"LedgerLocation"_s, u"(none)"_s);
}

// A server ledger of its own with one entry of 7 received; returns its connection string.
QString serverLedgerWithOneEntry()
{
    const QString server = testServer().connectionString(PostgresServer::Role::Writer, newServerDatabase());
    Connection writer;
    writer.open(server);
    writer.execute(insertEntry(sampleEntry(u"Shared"_s, u"7"_s)));
    return server;
}

TEST(CliLedger, ACommandUsesTheLedgerGivenForThatRunOnly)
{
    const QString server = serverLedgerWithOneEntry();
    const struct
    {
        QStringList arguments;
        int exitCode;
        QByteArray said;
    } cases[] = {
        {{u"--ledger"_s, server, u"--totals"_s, u"--json"_s},
         0,
         "{\"received\": 7.00, \"paid\": 0.00, \"balance\": 7.00, \"entries\": 1}\n"},
        {{u"--list"_s, u"--csv"_s, u"--ledger"_s, server}, 0, "Shared"},
        {{u"--ledger"_s, server, u"--restore"_s, u"/no/such/backup"_s},
         1,
         "Nothing was restored: '/no/such/backup' cannot be restored: there is no such file\n"},
    };
    for (const auto& [arguments, exitCode, said] : cases) {
        const Ran ran = runQuorvane(arguments);
        EXPECT_EQ(ran.exitCode, exitCode) << arguments.join(u' ').toStdString() << ran.err.toStdString();
        EXPECT_TRUE((exitCode == 0 ? ran.out : ran.err).contains(said))
            << ran.out.toStdString() << ran.err.toStdString();
        EXPECT_EQ(keptLocation(), u"(none)"_s) << arguments.join(u' ').toStdString();
    }
    // Nor was the ledger file made for it.
    EXPECT_FALSE(QFile::exists(databaseFile()));
}

TEST(CliLedger, TheExportReportAndImportWorkOnAServerLedger)
{
    const QString server = serverLedgerWithOneEntry();
    const QString out = homeFolder(u"out"_s);
    QFile statement(out + u"/statement.csv"_s);
    ASSERT_TRUE(statement.open(QIODevice::WriteOnly));
    statement.write("Date,Amount,Reason\n2024-01-02,5,Imported\n");
    statement.close();

    for (const QStringList& command : QList<QStringList>{{u"--export"_s, out + u"/ledger.xlsx"_s},
                                                         {u"--report"_s, out + u"/report.pdf"_s},
                                                         {u"--import"_s, statement.fileName()}}) {
        const Ran ran = runQuorvane(QStringList{u"--ledger"_s, server} + command);
        EXPECT_EQ(ran.exitCode, 0) << command.join(u' ').toStdString() << ran.err.toStdString();
    }
    const XlsxSheet sheet(out + u"/ledger.xlsx"_s);
    EXPECT_TRUE(std::any_of(sheet.cells.cbegin(), sheet.cells.cend(),
                            [](const auto& cell) { return cell.text == u"Shared"_s; }));
    const QString report = pdfPages(out + u"/report.pdf"_s).join(u'\f');
    EXPECT_TRUE(report.contains(u"05 Mar 2021"_s) && report.contains(u"Marrowfen"_s)) << report.toStdString();
    Connection writer;
    writer.open(server);
    EXPECT_EQ(LedgerEntries(writer).count(), 2) << "the statement's row was imported";
}

TEST(CliLedger, ARestoreIntoAServerLedgerReplacesItsEntriesAndSaysWhere)
{
    const QString server = serverLedgerWithOneEntry();
    // The file to restore: a ledger of two entries of its own.
    const QString file = dataSourcePath(openFreshLedger(LedgerKind::File));
    addEntry(sampleEntry(u"First"_s, u"1"_s));
    addEntry(sampleEntry(u"Second"_s, u"2"_s));
    ConnSlot().reset();

    const Ran ran = runQuorvane({u"--ledger"_s, server, u"--restore"_s, file});
    EXPECT_EQ(ran.exitCode, 0) << ran.err.toStdString();
    EXPECT_TRUE(ran.out.contains("Restored 2 entries from '" + file.toUtf8() + "' into the ledger on database "))
        << ran.out.toStdString();
    Connection writer;
    writer.open(server);
    EXPECT_EQ(LedgerEntries(writer).count(), 2);
}

TEST(CliLedger, TheWindowStartRemembersTheLedgerAndTheEmptyTextTheFile)
{
    const QString server = serverLedgerWithOneEntry();
    for (const QString& text : {server, QString()}) {
        QProcess window;
        startQuorvane(window, {u"--ledger"_s, text, u"-platform"_s, u"offscreen"_s});
        // Kept before the window opens, which then runs until it is closed.
        EXPECT_TRUE(QTest::qWaitFor([&] { return keptLocation() == text; }, 30000)) << keptLocation().toStdString();
        EXPECT_EQ(window.state(), QProcess::Running) << window.readAllStandardError().toStdString();
        window.kill();
        window.waitForFinished(10000);
    }
}

TEST(CliLedger, AConnectionStringHoldingAPasswordIsRefusedAndShownNowhere)
{
    for (const QString& text :
         {u"host=/tmp dbname=office password=hunter2"_s, u"postgresql://anna:hunter2@db/office"_s}) {
        for (const QStringList& command : {QStringList{}, QStringList{u"--totals"_s}}) {
            const Ran ran = runQuorvane(QStringList{u"--ledger"_s, text} + command);
            EXPECT_EQ(ran.exitCode, 2) << command.join(u' ').toStdString();
            EXPECT_TRUE(ran.err.contains("put it in ~/.pgpass or a service file")) << ran.err.toStdString();
            for (const QByteArray& where : {ran.out, ran.err, settingsFile()})
                EXPECT_FALSE(where.contains("hunter2")) << where.toStdString();
        }
    }
    EXPECT_EQ(keptLocation(), u"(none)"_s);
}

} // namespace
