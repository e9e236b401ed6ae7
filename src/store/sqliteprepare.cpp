#include "store/sqliteprepare.h"

#include "store/dialect.h"
#include "store/readonlyledger.h"
#include "store/statementfaults.h"
#include "store/storeerror.h"

#include <optional>
#include <sqlite3.h>

namespace {

std::optional<WriteRefusal> writeRefusal(int code)
{
    // A ledger moved or deleted while open is another matter, which the engine's words name.
    if (code == SQLITE_READONLY_DBMOVED)
        return {};
    if (code == SQLITE_READONLY_DIRECTORY)
        return WriteRefusal::ReadOnlyFolder;
    if (code == SQLITE_IOERR_WRITE)
        return WriteRefusal::WriteFailed;
    switch (code & 0xff) {
    case SQLITE_READONLY:
        return WriteRefusal::ReadOnly;
    case SQLITE_CANTOPEN:
        return WriteRefusal::CannotOpen;
    default:
        return {};
    }
}

} // namespace

QString engineMessage(sqlite3* db)
{
    if (const std::optional<WriteRefusal> refusal = writeRefusal(sqlite3_extended_errcode(db))) {
        const char* name = sqlite3_db_filename(db, "main");
        if (name && *name) {
            if (const QString words = readOnlyLedgerMessage(QString::fromUtf8(name), *refusal); !words.isEmpty())
                return words;
        }
    }
    return QString::fromUtf8(sqlite3_errmsg(db));
}

sqlite3_stmt* prepareSingle(sqlite3* db, const QString& statement)
{
    // The engine would end the statement at a NUL and read the rest as garbage.
    if (statement.contains(QChar(0)))
        throw StoreError(nulInTextMessage());
    return prepareOne(db, translateDialect(statement).toUtf8());
}

sqlite3_stmt* prepareOne(sqlite3* db, const QByteArray& sql)
{
    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &stmt, &tail) != SQLITE_OK)
        throw StoreError(engineMessage(db));
    if (!stmt)
        throw StoreError(noStatementMessage());

    // Whatever follows must compile to nothing (blanks, comments, a last ';').
    const char* rest = tail;
    const char* end = sql.constData() + sql.size();
    while (rest < end) {
        sqlite3_stmt* extra = nullptr;
        const char* next = nullptr;
        const int rc = sqlite3_prepare_v2(db, rest, int(end - rest), &extra, &next);
        if (extra || rc != SQLITE_OK) {
            sqlite3_finalize(extra);
            sqlite3_finalize(stmt);
            throw StoreError(trailingStatementMessage());
        }
        if (next == rest)
            break;
        rest = next;
    }
    return stmt;
}

void bindText(sqlite3_stmt* stmt, int index, QStringView text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

void runBound(sqlite3* db, sqlite3_stmt* stmt)
{
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE)
        failAndReset(stmt, engineMessage(db));
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
}

void failAndReset(sqlite3_stmt* stmt, const QString& message)
{
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    throw StoreError(message);
}
