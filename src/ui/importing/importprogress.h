#pragma once

#include "app/longtask.h"
#include "base/progress.h"

// One progress over a file's two long steps, reading its text and converting its rows: after half a
// second a window with Cancel (see LongTask), whose Cancel makes the step throw Cancelled.
class ImportProgress
{
public:
    ImportProgress(QWidget* owner, const QString& label);

    // For reading a text of `bytes` bytes: the first half of the bar.
    ProgressCheck reading(qint64 bytes);
    // For converting `rows` rows: the second half.
    ProgressCheck converting(qint64 rows);
    // The window goes; what follows is quick.
    void finish() { task_.finish(); }

private:
    ProgressCheck half(qint64 from, qint64 units);

    LongTask task_;
};
