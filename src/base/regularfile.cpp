#include "base/regularfile.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// A descriptor opened without blocking (a pipe with no writer would hold a plain open forever).
class ReadOnlyFile
{
public:
    explicit ReadOnlyFile(const QString& path)
        : fd_(::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)),
          error_(fd_ < 0 ? errno : 0)
    {
    }
    ~ReadOnlyFile()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    int fd() const { return fd_; }
    int error() const { return error_; }
    bool isRegular() const
    {
        struct stat info
        {
        };
        return fd_ >= 0 && ::fstat(fd_, &info) == 0 && S_ISREG(info.st_mode);
    }

private:
    int fd_;
    int error_;
};

} // namespace

bool isRegularFile(const QString& path)
{
    return ReadOnlyFile(path).isRegular();
}

std::optional<QByteArray> readRegularFile(const QString& path, qint64 limit)
{
    const ReadOnlyFile file(path);
    if (!file.isRegular())
        return std::nullopt;
    // Regular files never block, so the descriptor may go back to ordinary reads.
    ::fcntl(file.fd(), F_SETFL, ::fcntl(file.fd(), F_GETFL) & ~O_NONBLOCK);
    struct stat info{};
    ::fstat(file.fd(), &info);
    // Read straight into room for the whole file: a long file is not copied as it grows.
    QByteArray bytes(std::min<qint64>(std::max<qint64>(info.st_size, 0), limit), Qt::Uninitialized);
    qint64 done = 0;
    while (done < limit) {
        if (done == bytes.size())
            bytes.resize(std::min<qint64>(std::max<qint64>(2 * done, 4096), limit));
        const ssize_t n = ::read(file.fd(), bytes.data() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            break;
        done += n;
    }
    bytes.truncate(done);
    return bytes;
}

QString whyNotARegularFile(const QString& path)
{
    const ReadOnlyFile file(path);
    if (file.fd() < 0) {
        if (file.error() == ENOENT || file.error() == ENOTDIR)
            return u"there is no such file"_s;
        return u"it cannot be opened: "_s + QString::fromLocal8Bit(std::strerror(file.error()));
    }
    if (!file.isRegular())
        return u"it is a folder, a device or a pipe, not a file"_s;
    return {};
}
