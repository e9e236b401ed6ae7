#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

// Presses Cancel on the next long command's progress dialog, the way a user does: the command's
// first turn of events is held past the dialog's delay (so the dialog shows however quick the
// machine), then Cancel is clicked as soon as the dialog is on screen.
class ProgressCancel : public QObject
{
public:
    // `openedFirst`: a window the command shows before its long part; the hold waits until it is gone.
    explicit ProgressCancel(QObject* openedFirst = nullptr);
    // Whether Cancel was clicked: a test that cancels nothing proves nothing.
    bool pressed() const { return pressed_; }

private:
    void poll();

    QPointer<QObject> openedFirst_;
    QTimer poll_;
    bool stalled_ = false;
    bool pressed_ = false;
};
