#pragma once

#include <QtGlobal>
#include <functional>

// Asked now and then by long work with how many of its units are done; false asks the work to stop.
using ProgressCheck = std::function<bool(qint64 done)>;

// Thrown by work the user cancelled. It is no failure, so the error report does not show it.
struct Cancelled
{
};

// How often long loops ask: rarely enough to cost nothing, often enough to stop at once.
inline constexpr qint64 progressStride = 1024;

// Asks `check` (when set) at every stride of `done`; throws Cancelled when it says stop.
inline void checkProgress(const ProgressCheck& check, qint64 done)
{
    if (check && done % progressStride == 0 && !check(done))
        throw Cancelled{};
}
