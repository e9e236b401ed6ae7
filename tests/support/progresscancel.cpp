#include "support/progresscancel.h"

#include "app/longtask.h"

#include <QApplication>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QThread>

ProgressShown::ProgressShown(std::function<void(QProgressDialog&)> act, QObject* openedFirst)
    : act_(std::move(act)), openedFirst_(openedFirst)
{
    connect(&poll_, &QTimer::timeout, this, &ProgressShown::poll);
    poll_.start(0);
}

void ProgressShown::poll()
{
    if (!stalled_) {
        if (openedFirst_)
            return;
        QThread::msleep(LongTask::dialogDelayMs + 100);
        stalled_ = true;
        return;
    }
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<QProgressDialog*>(window); dialog && dialog->isVisible()) {
            poll_.stop();
            acted_ = true;
            act_(*dialog);
            return;
        }
    }
}

ProgressCancel::ProgressCancel(QObject* openedFirst)
    : ProgressShown(
          [](QProgressDialog& dialog) {
              if (auto* cancel = dialog.findChild<QPushButton*>())
                  QTest::mouseClick(cancel, Qt::LeftButton);
          },
          openedFirst)
{
}
