#include "app/programidle.h"

#include "app/longtask.h"

#include <QApplication>
#include <QThread>

bool programIsIdle()
{
    // The program's own event loop is the first; a deeper one is a dialog's, a menu's or a wait's,
    // also of a dialog the system draws, which Qt does not count as a modal window.
    return QThread::currentThread()->loopLevel() <= 1 && !QApplication::activeModalWidget() &&
           !QApplication::activePopupWidget() && !LongTask::anyRunning();
}
