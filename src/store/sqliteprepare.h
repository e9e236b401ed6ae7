#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

struct sqlite3;
struct sqlite3_stmt;

// Translates the ledger dialect and compiles exactly one statement; refuses a text holding more.
sqlite3_stmt* prepareSingle(sqlite3* db, const QString& statement);

// Compiles exactly one statement of SQLite's own dialect; refuses a text holding more.
sqlite3_stmt* prepareOne(sqlite3* db, const QByteArray& sql);

// The engine's message for the connection's last failure.
QString engineMessage(sqlite3* db);

// Binds a text to parameter `index` (from 1) of a compiled statement.
void bindText(sqlite3_stmt* stmt, int index, QStringView text);

// Makes a statement that failed ready for the next use, and throws StoreError with `message`.
[[noreturn]] void failAndReset(sqlite3_stmt* stmt, const QString& message);

// Runs a compiled statement to its end with what is bound, and leaves it ready for the next use
// (reset, bindings cleared); throws StoreError with the engine's message when it fails.
void runBound(sqlite3* db, sqlite3_stmt* stmt);
