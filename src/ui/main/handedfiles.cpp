#include "ui/main/handedfiles.h"

#include "app/programidle.h"

namespace {

// While the program is busy, how often it is asked again: soon enough to seem at once.
constexpr int busyRetryMs = 200;

} // namespace

HandedFiles::HandedFiles(std::function<void(const QString&)> open, QObject* parent)
    : QObject(parent), open_(std::move(open))
{
    next_.setSingleShot(true);
    connect(&next_, &QTimer::timeout, this, &HandedFiles::openNext);
}

void HandedFiles::add(const QString& path)
{
    if (!waiting_.contains(path))
        waiting_.append(path);
    // Never at once: the caller may be in the middle of something.
    next_.start(0);
}

void HandedFiles::openNext()
{
    if (waiting_.isEmpty())
        return;
    if (!programIsIdle()) {
        next_.start(busyRetryMs);
        return;
    }
    open_(waiting_.takeFirst());
    if (!waiting_.isEmpty())
        next_.start(0);
}
