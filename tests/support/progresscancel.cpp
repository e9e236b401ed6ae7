#include "support/progresscancel.h"

#include "app/longtask.h"

#include <QApplication>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QThread>

ProgressCancel::ProgressCancel()
{
    connect(&poll_, &QTimer::timeout, this, &ProgressCancel::pressWhenShown);
    QTimer::singleShot(0, this, [this] {
        QThread::msleep(LongTask::dialogDelayMs + 100);
        poll_.start(0);
    });
}

void ProgressCancel::pressWhenShown()
{
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
