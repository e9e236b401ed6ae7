#include "store/readonlyledger.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
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

QString readOnlyLedgerMessage(const QString& ledger, WriteRefusal refusal)
{
    const QString folder = QFileInfo(ledger).path();
    const QString intro = u"The ledger cannot be written: "_s;
    if (onReadOnlyDisk(folder))
        return intro + u"'%1' is on a read-only disk."_s.arg(QDir::toNativeSeparators(folder));
    // The engine writes a journal beside the ledger before it changes the file.
    if (refusal == WriteRefusal::ReadOnlyFolder || (refusal == WriteRefusal::CannotOpen && !mayWrite(folder)))
        return intro + u"the folder '%1' is read-only."_s.arg(QDir::toNativeSeparators(folder));
    if (refusal == WriteRefusal::ReadOnly || !mayWrite(ledger))
        return intro + u"'%1' is read-only."_s.arg(QDir::toNativeSeparators(ledger));
    return {};
}
