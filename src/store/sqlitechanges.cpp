// SQLite's session extension records row changes exactly; Debian's engine is built with it, but the
// header declares it only on request.
#define SQLITE_ENABLE_SESSION
#define SQLITE_ENABLE_PREUPDATE_HOOK
#include "store/sqlitechanges.h"

#include "store/sqliteprepare.h"
#include "store/storeerror.h"

#include <sqlite3.h>

#include <cstring>

namespace {

constexpr const char* ledgerTable = "tblData";
// A posting of repeating entries is undone with its record, so its occurrences fall due again.
constexpr const char* postedTable = "tblRepeatPosted";

void check(int rc, sqlite3* db, const char* what)
{
    if (rc != SQLITE_OK)
        throw StoreError(QString::fromUtf8(what) + QStringLiteral(": ") +
                         (db ? engineMessage(db) : QString::fromUtf8(sqlite3_errstr(rc))));
}

// Any conflict means the ledger is no longer as the change expects it: give up on the whole set.
int abortOnConflict(void*, int, sqlite3_changeset_iter*)
{
    return SQLITE_CHANGESET_ABORT;
}

void run(sqlite3* db, const char* sql)
{
    check(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), db, sql);
}

} // namespace

SqliteRecording::SqliteRecording(sqlite3* db)
{
    check(sqlite3session_create(db, "main", &session_), db, "Could not start recording changes");
    int rc = sqlite3session_attach(session_, ledgerTable);
    if (rc == SQLITE_OK)
        rc = sqlite3session_attach(session_, postedTable);
    if (rc != SQLITE_OK) {
        sqlite3session_delete(session_);
        check(rc, db, "Could not record changes of the ledger");
    }
}

SqliteRecording::~SqliteRecording()
{
    sqlite3session_delete(session_);
}

QByteArray SqliteRecording::changes()
{
    int size = 0;
    void* data = nullptr;
    check(sqlite3session_changeset(session_, &size, &data), nullptr, "Could not read the recorded changes");
    QByteArray result(static_cast<const char*>(data), size);
    sqlite3_free(data);
    return result;
}

QByteArray invertedSqliteChanges(const QByteArray& changes)
{
    if (changes.isEmpty())
        return {};
    int size = 0;
    void* data = nullptr;
    check(sqlite3changeset_invert(int(changes.size()), const_cast<char*>(changes.constData()), &size, &data), nullptr,
          "Could not reverse the recorded changes");
    QByteArray result(static_cast<const char*>(data), size);
    sqlite3_free(data);
    return result;
}

void applySqliteChanges(sqlite3* db, const QByteArray& changes)
{
    // One write transaction, taken at once so that another process cannot slip in between.
    run(db, "BEGIN IMMEDIATE");
    const int rc = sqlite3changeset_apply(db, int(changes.size()), const_cast<char*>(changes.constData()), nullptr,
                                          abortOnConflict, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        if (rc == SQLITE_ABORT)
            throw StaleChange();
        check(rc, db, "Could not apply the change");
    }
    try {
        run(db, "COMMIT");
    } catch (...) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

QList<qint64> sqliteChangedIds(const QByteArray& changes)
{
    QList<qint64> ids;
    sqlite3_changeset_iter* it = nullptr;
    check(sqlite3changeset_start(&it, int(changes.size()), const_cast<char*>(changes.constData())), nullptr,
          "Could not read the recorded changes");
    while (sqlite3changeset_next(it) == SQLITE_ROW) {
        const char* table = nullptr;
        int columns = 0, operation = 0, indirect = 0;
        sqlite3changeset_op(it, &table, &columns, &operation, &indirect);
        if (std::strcmp(table, ledgerTable) != 0)
            continue;
        sqlite3_value* id = nullptr;
        // The id stands in the old row of deletes and updates, in the new row of inserts.
        if (operation == SQLITE_INSERT)
            sqlite3changeset_new(it, 0, &id);
        else
            sqlite3changeset_old(it, 0, &id);
        if (id)
            ids.append(sqlite3_value_int64(id));
    }
    sqlite3changeset_finalize(it);
    return ids;
}
