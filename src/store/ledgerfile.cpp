#include "store/ledgerfile.h"

#include "base/regularfile.h"
#include "store/sqlitefile.h"
#include "store/storeerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

QString nameOf(const QString& path)
{
    return QDir::toNativeSeparators(path);
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

LedgerSummary summarizeLedger(sqlite3* db)
{
    LedgerSummary summary;
    query(db,
          "SELECT count(*), total(CASE paymenttype WHEN 1 THEN amount END), "
          "total(CASE paymenttype WHEN 2 THEN amount END) FROM tblData",
          [&](sqlite3_stmt* stmt) {
              summary.entries = sqlite3_column_int64(stmt, 0);
              summary.received = sqlite3_column_double(stmt, 1);
              summary.paid = sqlite3_column_double(stmt, 2);
          });
    return summary;
}

LedgerSummary summarizeLedger(const QString& path)
{
    return summarizeLedger(openExisting(path, SQLITE_OPEN_READONLY).get());
}

QString ledgerFingerprint(const QString& path)
{
    // Bytes 24..27 of the header count every transaction that changed the file.
    const std::optional<QByteArray> header = readRegularFile(path, 28);
    if (!header)
        return {};
    const QFileInfo info(path);
    return QString::fromLatin1(header->mid(24, 4).toHex()) + u'-' + QString::number(info.size()) + u'-' +
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
        copyPages(target.get(), source.get(), u"Could not back up '"_s + nameOf(from) + u"'"_s);
    } catch (...) {
        sqlite3_exec(source.get(), "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
    exec(source.get(), "COMMIT");
    return entries;
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
