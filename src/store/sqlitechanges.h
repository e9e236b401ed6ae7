#pragma once

#include "store/engine.h"

#include <QByteArray>
#include <QList>

struct sqlite3;
struct sqlite3_session;

// SQLite's session extension records row changes exactly: every column, its type and bytes, the
// id included, so that they can be reversed or made again.
class SqliteRecording final : public ChangeRecording
{
public:
    // Throws StoreError when the engine cannot record.
    explicit SqliteRecording(sqlite3* db);
    ~SqliteRecording() override;
    SqliteRecording(const SqliteRecording&) = delete;
    SqliteRecording& operator=(const SqliteRecording&) = delete;

    QByteArray changes() override;

private:
    sqlite3_session* session_ = nullptr;
};

// Applies recorded changes in one transaction, or throws StaleChange and applies none.
void applySqliteChanges(sqlite3* db, const QByteArray& changes);
QByteArray invertedSqliteChanges(const QByteArray& changes);
// The ids of the entries the changes touch.
QList<qint64> sqliteChangedIds(const QByteArray& changes);
