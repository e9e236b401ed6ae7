#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <memory>

class QProgressDialog;
class QWidget;

// A command that may run for a while. It lets events run every few milliseconds, so the windows
// repaint, and once it has run for half a second it shows a progress dialog whose Cancel (or
// Escape) ends it. The clicks and keys that reach the windows meanwhile are dropped, except the
// dialog's: the command's own window must not start a second command beneath the first. The
// window manager's close is no such input: closing the owner's window, the dialog shown or not,
// cancels the command (what it works on goes with the window) and closes the window.
class LongTask
{
public:
    static constexpr qint64 dialogDelayMs = 500;

    // `total` units of work; `label` says what is being done.
    LongTask(QWidget* owner, const QString& label, qint64 total);
    ~LongTask();
    LongTask(const LongTask&) = delete;
    LongTask& operator=(const LongTask&) = delete;

    // `done` units are done. Lets events run when their time has come; false once the user has
    // cancelled.
    bool keepGoing(qint64 done);
    bool canceled() const { return canceled_; }
    // What remains cannot be counted: the dialog says `label` and shows a busy bar instead.
    void setUncounted(const QString& label);
    // The work is over (or about to show its result): the dialog goes.
    void finish();
    // Whether any long command is running: events then run from within it, where no other command
    // may start.
    static bool anyRunning() { return running_ > 0; }

private:
    class EventWatch;

    void showDialog();
    void showUncounted();

    QPointer<QWidget> owner_;
    QString label_;
    qint64 total_;
    QElapsedTimer started_;
    QElapsedTimer lastEvents_;
    QPointer<QProgressDialog> dialog_;
    bool canceled_ = false;
    bool uncounted_ = false;
    std::unique_ptr<EventWatch> eventWatch_;
    static inline int running_ = 0;
};
