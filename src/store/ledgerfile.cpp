#include "store/ledgerfile.h"

#include "store/storeerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <fcntl.h>
#include <memory>
#include <sqlite3.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int busyWaitMs = 5000;

struct CloseDb
{
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using Db = std::unique_ptr<sqlite3, CloseDb>;

QString nameOf(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// Polls every millisecond rather than with the engine's growing pauses, so that a backup finds the
// short gaps between another process's saves.
int pollBriefly(void*, int attempts)
{
    if (attempts >= busyWaitMs)
        return 0;
    QThread::usleep(1000);
    return 1;
}

Db openDb(const QString& path, int flags)
{
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &raw, flags, nullptr);
    Db db(raw);
    if (rc != SQLITE_OK)
        throw StoreError(u"Could not open '"_s + nameOf(path) + u"': "_s +
                         QString::fromUtf8(raw ? sqlite3_errmsg(raw) : sqlite3_errstr(rc)));
    sqlite3_busy_handler(raw, pollBriefly, nullptr);
    return db;
}

Db openExisting(const QString& path, int flags)
{
    if (!QFileInfo(path).isFile())
        throw StoreError(u"Could not find file '"_s + nameOf(path) + u"'."_s);
    return openDb(path, flags);
}

QString lastError(sqlite3* db, const QString& what)
{
    return what + u": "_s + QString::fromUtf8(sqlite3_errmsg(db));
}

// Runs a query and hands each row to `row`; throws StoreError with the engine's message.
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

void exec(sqlite3* db, const char* sql)
{
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        throw StoreError(lastError(db, QString::fromUtf8(sql)));
}

qint64 countEntries(sqlite3* db)
{
    qint64 count = 0;
    query(db, "SELECT count(*) FROM tblData", [&](sqlite3_stmt* stmt) { count = sqlite3_column_int64(stmt, 0); });
    return count;
}

// Copies every page of `source` into `target` in one step, waiting while another connection holds a
// lock the copy needs.
void runBackup(sqlite3* target, sqlite3* source, const QString& what)
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

void writeBesideAndRename(const QString& ledger, const QString& backup)
{
    const QString beside = ledger + u".restoring"_s;
    QFile::remove(beside);
    if (!QFile::copy(backup, beside))
        throw StoreError(u"Could not copy '"_s + nameOf(backup) + u"' beside the ledger."_s);
    QFile::setPermissions(beside, QFile::ReadOwner | QFile::WriteOwner);
    syncToDisk(beside);
    if (::rename(QFile::encodeName(beside).constData(), QFile::encodeName(ledger).constData()) != 0) {
        QFile::remove(beside);
        throw StoreError(u"Could not put the backup in place of '"_s + nameOf(ledger) + u"'."_s);
    }
    syncToDisk(QFileInfo(ledger).path());
}

} // namespace

QString ledgerDamage(const QString& path, bool quick)
{
    try {
        const Db db = openExisting(path, SQLITE_OPEN_READONLY);
        QStringList problems;
        query(db.get(), quick ? "PRAGMA quick_check" : "PRAGMA integrity_check",
              [&](sqlite3_stmt* stmt) { problems.append(QString::fromUtf8(sqlite3_column_text(stmt, 0))); });
        if (problems != QStringList{u"ok"_s})
            return problems.join(u"; ");
        countEntries(db.get());
        return {};
    } catch (const StoreError& error) {
        return QString::fromUtf8(error.what());
    }
}

LedgerSummary summarizeLedger(const QString& path)
{
    const Db db = openExisting(path, SQLITE_OPEN_READONLY);
    LedgerSummary summary;
    query(db.get(),
          "SELECT count(*), total(CASE paymenttype WHEN 1 THEN amount END), "
          "total(CASE paymenttype WHEN 2 THEN amount END) FROM tblData",
          [&](sqlite3_stmt* stmt) {
              summary.entries = sqlite3_column_int64(stmt, 0);
              summary.received = sqlite3_column_double(stmt, 1);
              summary.paid = sqlite3_column_double(stmt, 2);
          });
    return summary;
}

QString ledgerFingerprint(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // Bytes 24..27 of the header count every transaction that changed the file.
    const QByteArray header = file.read(28);
    const QFileInfo info(path);
    return QString::fromLatin1(header.mid(24, 4).toHex()) + u'-' + QString::number(info.size()) + u'-' +
           QString::number(info.lastModified().toMSecsSinceEpoch());
}

qint64 copyLedger(const QString& from, const QString& to)
{
    const Db source = openExisting(from, SQLITE_OPEN_READONLY);
    QFile::remove(to);
    const Db target = openDb(to, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner);
    // The count and the pages come from one read transaction: the same snapshot.
    exec(source.get(), "BEGIN");
    qint64 entries = 0;
    try {
        entries = countEntries(source.get());
        runBackup(target.get(), source.get(), u"Could not back up '"_s + nameOf(from) + u"'"_s);
    } catch (...) {
        sqlite3_exec(source.get(), "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
    exec(source.get(), "COMMIT");
    return entries;
}

void replaceLedger(const QString& ledger, const QString& backup)
{
    const QString damage = ledgerDamage(backup);
    if (!damage.isEmpty())
        throw StoreError(u"The backup '"_s + nameOf(backup) + u"' cannot be restored: "_s + damage);
    const Db source = openExisting(backup, SQLITE_OPEN_READONLY);
    Db target;
    try {
        target = openExisting(ledger, SQLITE_OPEN_READWRITE);
        // A file that is no database at all fails here, before anything is written to it.
        exec(target.get(), "PRAGMA synchronous=FULL; SELECT count(*) FROM sqlite_master;");
    } catch (const StoreError&) {
        target.reset();
        writeBesideAndRename(ledger, backup);
        return;
    }
    // The engine writes the copy as one transaction with its rollback journal: a process that dies
    // midway leaves a journal that the next opening of the ledger rolls back.
    runBackup(target.get(), source.get(), u"Could not restore '"_s + nameOf(backup) + u"'"_s);
}

void syncToDisk(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || ::fsync(fd) != 0) {
        if (fd >= 0)
            ::close(fd);
        throw StoreError(u"Could not write '"_s + nameOf(path) + u"' to the disk."_s);
    }
    ::close(fd);
}
