#include "ui/importing/importprogress.h"

#include <algorithm>

namespace {

constexpr qint64 halfSteps = 1 << 20;

} // namespace

ImportProgress::ImportProgress(QWidget* owner, const QString& label) : task_(owner, label, 2 * halfSteps) {}

ProgressCheck ImportProgress::reading(qint64 bytes)
{
    return half(0, bytes);
}

ProgressCheck ImportProgress::converting(qint64 rows)
{
    return half(halfSteps, rows);
}

ProgressCheck ImportProgress::half(qint64 from, qint64 units)
{
    const qint64 total = std::max<qint64>(units, 1);
    return [this, from, total](qint64 done) { return task_.keepGoing(from + done * halfSteps / total); };
}
