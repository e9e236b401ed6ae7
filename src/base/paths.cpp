#include "base/paths.h"

#include "base/failure.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int commonAppData = 35;

QString& programFolderOverride()
{
    static QString folder;
    return folder;
}

QString systemError(const QString& what, const QString& path)
{
    return what + u" '"_s + QDir::toNativeSeparators(path) + u"': "_s + QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

QString SpecialFolderPath(int csidl)
{
    if (csidl != commonAppData)
        return {};
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).trimmed();
}

bool FileExists(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() && info.lastModified().isValid();
}

bool pathExists(const QString& path)
{
    return QFileInfo::exists(path);
}

void makeFolder(const QString& path)
{
    // A new account may not have its data home yet: make the missing folders above, private too.
    const QString parent = QFileInfo(path).path();
    if (!QFileInfo::exists(parent) && parent != path)
        makeFolder(parent);
    if (::mkdir(QFile::encodeName(path).constData(), 0700) != 0)
        throw Failure(systemError(QStringLiteral("Could not create the folder"), path));
}

void copyLedgerTemplate(const QString& from, const QString& to)
{
    if (!QFileInfo(from).isFile())
        throw Failure(u"The template ledger '"_s + QDir::toNativeSeparators(from) + u"' was not found."_s);
    // A ledger copied from a broken template could never be replaced later: refuse it now.
    QFile header(from);
    if (!header.open(QIODevice::ReadOnly) || header.read(16) != QByteArray("SQLite format 3", 16))
        throw Failure(u"The template ledger '"_s + QDir::toNativeSeparators(from) + u"' is not a ledger database."_s);
    // QFile::copy writes to a temporary file and renames it, and it refuses an existing target.
    QFile source(from);
    ensure(source.copy(to), u"Could not copy the template ledger to '"_s + QDir::toNativeSeparators(to) + u"': "_s +
                                source.errorString());
    ensure(QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner),
           u"Could not make the ledger private: '"_s + QDir::toNativeSeparators(to) + u"'"_s);
}

void keepPrivate(const QString& path, QFile::Permissions permissions)
{
    const QFileInfo info(path);
    if (info.exists() && info.ownerId() == ::geteuid())
        QFile::setPermissions(path, permissions);
}

QString programFolder()
{
    if (!programFolderOverride().isEmpty())
        return programFolderOverride();
    return QCoreApplication::applicationDirPath();
}

QString vendorFolder()
{
    return SpecialFolderPath(commonAppData) + u"/Marrowfen"_s;
}

QString dataFolder()
{
    return SpecialFolderPath(commonAppData) + u"/Marrowfen/"_s + u"Quorvane"_s;
}

QString databaseFile()
{
    return dataFolder() + u"/dbData.mdb"_s;
}

QString templateDatabase()
{
    return programFolder() + u"/dbBlank.mdb"_s;
}

QString handCursorFile()
{
    return programFolder() + u"/HAND-M.CUR"_s;
}

QString skinFile()
{
    return programFolder() + u"/x/o.cjs"_s;
}

ScopedProgramFolder::ScopedProgramFolder(const QString& folder) : previous_(programFolderOverride())
{
    programFolderOverride() = folder;
}

ScopedProgramFolder::~ScopedProgramFolder()
{
    programFolderOverride() = previous_;
}
