#include "store/sqlitefile.h"

#include "base/regularfile.h"

#include <QDir>
#include <QFile>
#include <QThread>

using namespace Qt::StringLiterals;

namespace {

constexpr int pollMicroseconds = 200;

int pollBriefly(void*, int attempts)
{
    if (qint64(attempts) * pollMicroseconds >= qint64(busyWaitMs) * 1000)
        return 0;
    QThread::usleep(pollMicroseconds);
    return 1;
}

} // namespace

void pollWhileBusy(sqlite3* db)
{
    sqlite3_busy_handler(db, pollBriefly, nullptr);
}

Db openDb(const QString& path, int flags)
{
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &raw, flags, nullptr);
    Db db(raw);
    if (rc != SQLITE_OK)
        throw StoreError(u"Could not open '"_s + QDir::toNativeSeparators(path) + u"': "_s +
                         QString::fromUtf8(raw ? sqlite3_errmsg(raw) : sqlite3_errstr(rc)));
    pollWhileBusy(raw);
    return db;
}

Db openExisting(const QString& path, int flags)
{
    // The engine would wait forever on a pipe named like a ledger.
    if (const QString why = whyNotARegularFile(path); !why.isEmpty())
        throw StoreError(u"Could not open '"_s + QDir::toNativeSeparators(path) + u"': "_s + why + u'.');
    return openDb(path, flags);
}

QString lastError(sqlite3* db, const QString& what)
{
    return what + u": "_s + QString::fromUtf8(sqlite3_errmsg(db));
}

void exec(sqlite3* db, const char* sql)
{
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        throw StoreError(lastError(db, QString::fromUtf8(sql)));
}

QString columnText(sqlite3_stmt* stmt, int column)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, column)),
                             sqlite3_column_bytes(stmt, column));
}

QString typeOf(sqlite3* db, const char* name, const QByteArray& schema)
{
    QString type;
    sqlite3_stmt* stmt = nullptr;
    const QByteArray sql = "SELECT type FROM " + schema + ".sqlite_master WHERE name = ? COLLATE NOCASE";
    if (sqlite3_prepare_v2(db, sql.constData(), -1, &stmt, nullptr) != SQLITE_OK)
        throw StoreError(lastError(db, u"Reading the tables"_s));
    sqlite3_bind_text(stmt, 1, name, -1, SQLITE_STATIC);
    if (sqlite3_step(stmt) == SQLITE_ROW)
        type = columnText(stmt, 0);
    sqlite3_finalize(stmt);
    return type;
}

qint64 countEntries(sqlite3* db)
{
    qint64 count = 0;
    query(db, "SELECT count(*) FROM tblData", [&](sqlite3_stmt* stmt) { count = sqlite3_column_int64(stmt, 0); });
    return count;
}

void removeJournals(const QString& path)
{
    for (const char* suffix : {"-journal", "-wal", "-shm"})
        QFile::remove(path + QLatin1StringView(suffix));
}

void removeDatabaseFile(const QString& path)
{
    QFile::remove(path);
    removeJournals(path);
}

void copyPages(sqlite3* target, sqlite3* source, const QString& what)
{
    sqlite3_backup* backup = sqlite3_backup_init(target, "main", source, "main");
    if (!backup)
        throw StoreError(lastError(target, what));
    int rc;
    int waitedMs = 0;
    while ((rc = sqlite3_backup_step(backup, -1)) == SQLITE_BUSY || rc == SQLITE_LOCKED) {
        if (waitedMs >= busyWaitMs)
            break;
        QThread::msleep(20);
        waitedMs += 20;
    }
    sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE)
        throw StoreError(what + u": "_s + QString::fromUtf8(sqlite3_errstr(rc)));
}
