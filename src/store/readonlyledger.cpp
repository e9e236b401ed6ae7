#include "store/readonlyledger.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/statvfs.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Asked as the running process, whatever user started it.
bool mayWrite(const QString& path)
{
    return ::faccessat(AT_FDCWD, QFile::encodeName(path).constData(), W_OK, AT_EACCESS) == 0;
}

bool onReadOnlyDisk(const QString& path)
{
    struct statvfs disk
    {
    };
    return ::statvfs(QFile::encodeName(path).constData(), &disk) == 0 && (disk.f_flag & ST_RDONLY) != 0;
}

} // namespace

QString readOnlyLedgerMessage(sqlite3* db)
{
    const int code = sqlite3_extended_errcode(db);
    const int primary = code & 0xff;
    if (primary != SQLITE_READONLY && primary != SQLITE_CANTOPEN && code != SQLITE_IOERR_WRITE)
        return {};
    // A ledger moved or deleted while open is another matter, which the engine's words name.
    if (code == SQLITE_READONLY_DBMOVED)
        return {};
    const char* name = sqlite3_db_filename(db, "main");
    if (!name || !*name)
        return {};
    const QString ledger = QString::fromUtf8(name);
    const QString folder = QFileInfo(ledger).path();
    const QString intro = u"The ledger cannot be written: "_s;
    if (onReadOnlyDisk(folder))
        return intro + u"'%1' is on a read-only disk."_s.arg(QDir::toNativeSeparators(folder));
    // The engine writes a journal beside the ledger before it changes the file.
    if (code == SQLITE_READONLY_DIRECTORY || (primary == SQLITE_CANTOPEN && !mayWrite(folder)))
        return intro + u"the folder '%1' is read-only."_s.arg(QDir::toNativeSeparators(folder));
    if (primary == SQLITE_READONLY || !mayWrite(ledger))
        return intro + u"'%1' is read-only."_s.arg(QDir::toNativeSeparators(ledger));
    return {};
}
