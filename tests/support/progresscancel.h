#pragma once

#include <QObject>
#include <QTimer>

// Presses Cancel on the next long command's progress dialog, the way a user does: the command's
// first turn of events is held past the dialog's delay (so the dialog shows however quick the
// machine), then Cancel is clicked as soon as the dialog is on screen.
class ProgressCancel : public QObject
{
public:
    ProgressCancel();
    // Whether Cancel was clicked: a test that cancels nothing proves nothing.
    bool pressed() const { return pressed_; }

private:
    void pressWhenShown();

    QTimer poll_;
    bool pressed_ = false;
};
