#include "support/ordinaryuser.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr uid_t nobody = 65534;

void passThrough(const QString& path)
{
    for (QDir dir = QFileInfo(path).dir(); !dir.isRoot(); dir.setPath(QFileInfo(dir.path()).path())) {
        struct stat info
        {
        };
        const QByteArray name = QFile::encodeName(dir.path());
        if (::stat(name.constData(), &info) == 0)
            ::chmod(name.constData(), (info.st_mode & 07777) | S_IXOTH);
    }
}

} // namespace

ScopedOrdinaryUser::ScopedOrdinaryUser(const QStringList& owned) : owned_(owned)
{
    if (::geteuid() != 0)
        return;
    for (const QString& path : owned_) {
        passThrough(path);
        if (::chown(QFile::encodeName(path).constData(), nobody, nobody) != 0)
            throw std::runtime_error("cannot hand a file to the ordinary user");
    }
    if (::setegid(nobody) != 0 || ::seteuid(nobody) != 0)
        throw std::runtime_error("cannot act as the ordinary user");
    switched_ = true;
}

ScopedOrdinaryUser::~ScopedOrdinaryUser()
{
    if (!switched_)
        return;
    // The saved user id is still root's, so the way back is open.
    if (::seteuid(0) != 0 || ::setegid(0) != 0)
        std::terminate();
    for (const QString& path : owned_)
        (void)::chown(QFile::encodeName(path).constData(), 0, 0);
}
