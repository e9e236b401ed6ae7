#include "support/progresscancel.h"

#include "app/longtask.h"

#include <QApplication>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QThread>

ProgressCancel::ProgressCancel(QObject* openedFirst) : openedFirst_(openedFirst)
{
    connect(&poll_, &QTimer::timeout, this, &ProgressCancel::poll);
    poll_.start(0);
}

void ProgressCancel::poll()
{
    if (!stalled_) {
        if (openedFirst_)
            return;
        QThread::msleep(LongTask::dialogDelayMs + 100);
        stalled_ = true;
        return;
    }
    for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<QProgressDialog*>(window);
        if (!dialog || !dialog->isVisible())
            continue;
        if (auto* cancel = dialog->findChild<QPushButton*>()) {
            poll_.stop();
            pressed_ = true;
            QTest::mouseClick(cancel, Qt::LeftButton);
            return;
        }
    }
}
