#include "store/ledgerrestore.h"

#include "base/regularfile.h"
#include "store/ledgerschema.h"
#include "store/newertables.h"
#include "store/sqlitefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

QString nameOf(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

struct Column
{
    QString name;
    QString type;
    bool operator==(const Column&) const = default;
};

QList<Column> columnsOf(sqlite3* db, const char* pragma)
{
    QList<Column> columns;
    query(db, pragma, [&](sqlite3_stmt* stmt) {
        columns.append({columnText(stmt, 1).toLower(), columnText(stmt, 2).toUpper()});
    });
    return columns;
}

QString listed(const QList<Column>& columns)
{
    QStringList parts;
    for (const Column& c : columns)
        parts.append((c.name + u' ' + c.type).trimmed());
    return parts.join(u", ");
}

// A table's columns as the program's schema makes them.
const QList<Column>& schemaColumns(const QByteArray& table)
{
    static const QHash<QByteArray, QList<Column>> tables = [] {
        const Db db = openDb(u":memory:"_s, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        exec(db.get(), ledgerSchemaSql);
        QHash<QByteArray, QList<Column>> columns;
        columns.insert("tblData", columnsOf(db.get(), "PRAGMA table_info(tblData)"));
        for (const QByteArray& name : newerTables())
            columns.insert(name, columnsOf(db.get(), ("PRAGMA table_info(" + name + ")").constData()));
        return columns;
    }();
    return tables.find(table).value();
}

const QList<Column>& ledgerColumns()
{
    return schemaColumns("tblData");
}

// The column names of a newer table, for copying its rows.
QByteArray columnList(const QByteArray& table)
{
    QStringList names;
    for (const Column& c : schemaColumns(table))
        names.append(c.name);
    return names.join(u", ").toUtf8();
}

// Why a newer table the database holds is not the ledger's, or the empty text. A ledger from before
// the table was added has none, which is fine.
QString whyNotNewerTable(sqlite3* db, const QByteArray& table)
{
    const QString type = typeOf(db, table.constData());
    if (type.isEmpty())
        return {};
    if (type != u"table")
        return u"its %1 is a %2, not a table"_s.arg(QLatin1StringView(table), type);
    const QList<Column> columns = columnsOf(db, ("PRAGMA table_info(" + table + ")").constData());
    if (columns != schemaColumns(table))
        return u"its table %1 has the columns (%2) instead of the ledger's (%3)"_s.arg(
            QLatin1StringView(table), listed(columns), listed(schemaColumns(table)));
    return {};
}

// Why the open database is no ledger, or the empty text.
QString whyNoLedger(sqlite3* db)
{
    QStringList problems;
    query(db, "PRAGMA integrity_check", [&](sqlite3_stmt* stmt) { problems.append(columnText(stmt, 0)); });
    if (problems != QStringList{u"ok"_s})
        return u"it is damaged: "_s + problems.join(u"; ");
    for (const char* table : {"tblData", "tblReport"}) {
        const QString type = typeOf(db, table);
        if (type.isEmpty())
            return u"it has no table %1"_s.arg(QLatin1StringView(table));
        if (type != u"table")
            return u"its %1 is a %2, not a table"_s.arg(QLatin1StringView(table), type);
    }
    const QList<Column> columns = columnsOf(db, "PRAGMA table_info(tblData)");
    if (columns != ledgerColumns())
        return u"its table tblData has the columns (%1) instead of the ledger's (%2)"_s.arg(listed(columns),
                                                                                            listed(ledgerColumns()));
    for (const QByteArray& table : newerTables()) {
        if (QString why = whyNotNewerTable(db, table); !why.isEmpty())
            return why;
    }
    return {};
}

// Sources are never written, and their schema's own code is never trusted.
Db openSource(const QString& source)
{
    Db db = openExisting(source, SQLITE_OPEN_READONLY);
    exec(db.get(), "PRAGMA trusted_schema=OFF");
    return db;
}

QString refusal(const QString& source, const QString& why)
{
    return u"'"_s + nameOf(source) + u"' cannot be restored: "_s + why;
}

void copyEntries(sqlite3* target, const QString& source)
{
    exec(target, ledgerSchemaSql);
    sqlite3_stmt* attach = nullptr;
    if (sqlite3_prepare_v2(target, "ATTACH ? AS source", -1, &attach, nullptr) != SQLITE_OK)
        throw StoreError(lastError(target, u"Reading the entries"_s));
    // A URI, so the source is opened read-only whatever its name holds.
    const QByteArray uri = "file:" + QUrl::toPercentEncoding(QFileInfo(source).absoluteFilePath(), "/") + "?mode=ro";
    sqlite3_bind_text(attach, 1, uri.constData(), int(uri.size()), SQLITE_TRANSIENT);
    const int rc = sqlite3_step(attach);
    sqlite3_finalize(attach);
    if (rc != SQLITE_DONE)
        throw StoreError(lastError(target, u"Could not read '"_s + nameOf(source) + u"'"_s));
    exec(target, "PRAGMA source.trusted_schema=OFF; BEGIN;"
                 "INSERT INTO main.tblData (id, datercvd, reason, fromcompany, tocompany, amount, paymentmethod,"
                 " notes, paymenttype) SELECT id, datercvd, reason, fromcompany, tocompany, amount, paymentmethod,"
                 " notes, paymenttype FROM source.tblData ORDER BY id;");
    // The repeating entries' rules and records come along with the entries they posted.
    for (const QByteArray& table : newerTables()) {
        if (typeOf(target, table.constData(), "source") == u"table") {
            const QByteArray columns = columnList(table);
            exec(target, ("INSERT INTO main." + table + " (" + columns + ") SELECT " + columns + " FROM source." +
                          table + " ORDER BY rowid")
                             .constData());
        }
    }
    // Ids of entries deleted before the copy was taken are not given out again.
    qint64 counter = 0;
    query(target, "SELECT ifnull(max(id), 0) FROM main.tblData",
          [&](sqlite3_stmt* stmt) { counter = sqlite3_column_int64(stmt, 0); });
    if (typeOf(target, "sqlite_sequence", "source") == u"table")
        query(target, "SELECT max(seq) FROM source.sqlite_sequence WHERE name = 'tblData' AND typeof(seq) = 'integer'",
              [&](sqlite3_stmt* stmt) { counter = std::max(counter, sqlite3_column_int64(stmt, 0)); });
    if (counter > 0) {
        exec(target, "DELETE FROM main.sqlite_sequence WHERE name = 'tblData'");
        exec(target, QByteArray("INSERT INTO main.sqlite_sequence (name, seq) VALUES ('tblData', " +
                                QByteArray::number(counter) + ")")
                         .constData());
    }
    exec(target, "COMMIT; DETACH source;");
}

bool sameTotals(const LedgerSummary& a, const LedgerSummary& b)
{
    return a.entries == b.entries && a.received == b.received && a.paid == b.paid;
}

// A connection to the ledger ready to take the new pages; none when the file is missing or no
// database at all, so that nothing can hold it open as a ledger. Throws when it is merely busy.
Db openForPages(const QString& path)
{
    if (!whyNotARegularFile(path).isEmpty())
        return {};
    Db db = openDb(path, SQLITE_OPEN_READWRITE);
    // A file that is no database fails here, before anything is written to it.
    if (sqlite3_exec(db.get(), "PRAGMA synchronous=FULL; SELECT count(*) FROM sqlite_master;", nullptr, nullptr,
                     nullptr) == SQLITE_OK)
        return db;
    const int code = sqlite3_errcode(db.get());
    if (code == SQLITE_NOTADB || code == SQLITE_CORRUPT)
        return {};
    throw StoreError(lastError(db.get(), u"Could not open '"_s + nameOf(path) + u"'"_s));
}

} // namespace

void putRebuiltInPlace(const QString& ledger, const QString& rebuilt)
{
    if (const Db target = openForPages(ledger)) {
        // Copied page by page as one transaction of the ledger, under its locks and with its journal:
        // other connections see the new ledger, and a process that dies midway leaves a journal
        // that the next opening rolls back.
        const Db source = openExisting(rebuilt, SQLITE_OPEN_READONLY);
        copyPages(target.get(), source.get(), u"Could not restore '"_s + nameOf(ledger) + u"'"_s);
        return;
    }
    // A journal or log left beside the old file would be replayed onto the new one: they go before
    // the new file takes the name.
    removeJournals(ledger);
    if (std::rename(QFile::encodeName(rebuilt).constData(), QFile::encodeName(ledger).constData()) != 0)
        throw StoreError(u"Could not put the restored ledger in place of '"_s + nameOf(ledger) + u"'."_s);
    syncToDisk(QFileInfo(ledger).path());
}

QString restoringFileOf(const QString& ledger)
{
    return ledger + u".restoring"_s;
}

LedgerSummary checkRestoreSource(const QString& source)
{
    if (const QString why = whyNotARegularFile(source); !why.isEmpty())
        throw StoreError(refusal(source, why));
    QString why;
    try {
        const Db db = openSource(source);
        exec(db.get(), "BEGIN");
        why = whyNoLedger(db.get());
        if (why.isEmpty())
            return summarizeLedger(db.get());
    } catch (const StoreError& error) {
        why = QString::fromUtf8(error.what());
    }
    throw StoreError(refusal(source, why));
}

void rebuildLedger(const QString& source, const QString& target)
{
    const LedgerSummary expected = checkRestoreSource(source);
    removeDatabaseFile(target);
    try {
        {
            const Db db = openDb(target, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_URI);
            QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
            exec(db.get(), "PRAGMA synchronous=FULL");
            copyEntries(db.get(), source);
            if (const QString why = whyNoLedger(db.get()); !why.isEmpty())
                throw StoreError(refusal(source, u"the ledger made from it failed its check: "_s + why));
            const LedgerSummary made = summarizeLedger(db.get());
            if (!sameTotals(made, expected))
                throw StoreError(refusal(source, u"its entries and totals did not come over unchanged"_s));
        }
        syncToDisk(target);
    } catch (...) {
        removeDatabaseFile(target);
        throw;
    }
}

void restoreLedger(const QString& ledger, const QString& source)
{
    const QString rebuilt = restoringFileOf(ledger);
    rebuildLedger(source, rebuilt);
    try {
        putRebuiltInPlace(ledger, rebuilt);
    } catch (...) {
        removeDatabaseFile(rebuilt);
        throw;
    }
    removeDatabaseFile(rebuilt);
}
