#pragma once

#include "store/storeerror.h"

#include <QString>
#include <memory>
#include <sqlite3.h>

// Small pieces for the store's file-level work (checks, backups, restores), each over a
// connection of its own rather than the program's.

struct CloseDb
{
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using Db = std::unique_ptr<sqlite3, CloseDb>;

// How long a file busy in another process is waited on.
inline constexpr int busyWaitMs = 10000;

// Waits for a busy file by polling every fifth of a millisecond, rather than with the engine's growing
// pauses: a process that saves again and again leaves only gaps of microseconds between its saves,
// and long pauses would miss them all.
void pollWhileBusy(sqlite3* db);

// Opens (or with SQLITE_OPEN_CREATE makes) a database file; throws StoreError.
Db openDb(const QString& path, int flags);
// The same for a file that must exist already.
Db openExisting(const QString& path, int flags);

// "<what>: <the engine's last message>".
QString lastError(sqlite3* db, const QString& what);

// Runs statements of the engine's own dialect; throws StoreError with the engine's message.
void exec(sqlite3* db, const char* sql);

// Runs one query and hands each row to `row`; throws StoreError with the engine's message.
template <class F> void query(sqlite3* db, const char* sql, F&& row)
{
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK)
        throw StoreError(lastError(db, QString::fromUtf8(sql)));
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW)
        row(stmt);
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE)
        throw StoreError(lastError(db, QString::fromUtf8(sql)));
}

// A column of the current row as text.
QString columnText(sqlite3_stmt* stmt, int column);

// "table", "view" ... or the empty text when `schema` has nothing of that name.
QString typeOf(sqlite3* db, const char* name, const QByteArray& schema = "main");

qint64 countEntries(sqlite3* db);

// Removes the journal, write-ahead log and shared-memory file the engine may keep beside `path`
// (a journal left there would be replayed onto whatever file takes the name next).
void removeJournals(const QString& path);
// Removes the file and its journals.
void removeDatabaseFile(const QString& path);

// Copies every page of `source` into `target` as one transaction of the target, waiting while
// another connection holds a lock the copy needs.
void copyPages(sqlite3* target, sqlite3* source, const QString& what);
