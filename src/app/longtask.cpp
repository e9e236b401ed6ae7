#include "app/longtask.h"

#include <QCoreApplication>
#include <QEvent>
#include <QProgressDialog>
#include <QScopedValueRollback>
#include <QThread>
#include <QWidget>
#include <QWindow>

namespace {

constexpr qint64 eventIntervalMs = 10;
constexpr int dialogSteps = 1000;

// What the user does to start a command: clicks, keys and their shortcuts, taps.
bool startsCommands(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
        return true;
    default:
        return false;
    }
}

} // namespace

// Sees every event while the task lives: a close of the owner's window cancels the task, and the
// events the task lets run take the user's input to the dialog only.
class LongTask::EventWatch : public QObject
{
public:
    explicit EventWatch(LongTask& task) : task_(task), window_(task.owner_ ? task.owner_->window() : nullptr)
    {
        QCoreApplication::instance()->installEventFilter(this);
    }

    void runEvents()
    {
        const QScopedValueRollback level(runLevel_, QThread::currentThread()->loopLevel());
        QCoreApplication::processEvents();
    }

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override
    {
        if (event->type() == QEvent::Close && receiver == window_.data())
            task_.canceled_ = true;
        // A window opened meanwhile (a message, say) runs events of its own, and takes its input.
        if (!startsCommands(event->type()) || QThread::currentThread()->loopLevel() != runLevel_ || inDialog(receiver))
            return false;
        // Taken, so that no shortcut is looked for either.
        event->accept();
        return true;
    }

private:
    bool inDialog(const QObject* receiver) const
    {
        const QProgressDialog* dialog = task_.dialog_;
        if (!dialog)
            return false;
        if (const auto* widget = qobject_cast<const QWidget*>(receiver))
            return widget->window() == dialog;
        return receiver == dialog->windowHandle();
    }

    LongTask& task_;
    QPointer<QWidget> window_;
    int runLevel_ = -1; // the event loop level the task's events run at, while they do
};

LongTask::LongTask(QWidget* owner, const QString& label, qint64 total)
    : owner_(owner), label_(label), total_(std::max<qint64>(total, 1)), eventWatch_(std::make_unique<EventWatch>(*this))
{
    started_.start();
    ++running_;
}

LongTask::~LongTask()
{
    --running_;
    finish();
}

bool LongTask::keepGoing(qint64 done)
{
    if (canceled_)
        return false;
    if (lastEvents_.isValid() && !lastEvents_.hasExpired(eventIntervalMs))
        return true;
    // Timed from before the events run, so that a slow turn of events does not delay the next.
    lastEvents_.start();
    if (!dialog_ && started_.hasExpired(dialogDelayMs))
        showDialog();
    if (dialog_)
        dialog_->setValue(uncounted_ ? 0 : int(std::clamp<qint64>(done * dialogSteps / total_, 0, dialogSteps - 1)));
    eventWatch_->runEvents();
    return !canceled_;
}

void LongTask::setUncounted(const QString& label)
{
    label_ = label;
    uncounted_ = true;
    if (dialog_)
        showUncounted();
}

void LongTask::showUncounted()
{
    dialog_->setLabelText(label_);
    dialog_->setRange(0, 0);
}

void LongTask::showDialog()
{
    // Not modal: Qt drops the window manager's close of a window that a modal dialog blocks. The
    // event watch keeps the user's input to the dialog instead.
    auto* dialog = new QProgressDialog(label_, QProgressDialog::tr("Cancel"), 0, dialogSteps, owner_);
    dialog->setObjectName(QStringLiteral("LongTaskProgress"));
    if (owner_)
        dialog->setWindowTitle(owner_->window()->windowTitle());
    dialog->setMinimumDuration(0);
    dialog->setAutoClose(false);
    dialog->setAutoReset(false);
    QObject::connect(dialog, &QProgressDialog::canceled, dialog, [this] { canceled_ = true; });
    dialog->show();
    dialog_ = dialog;
    if (uncounted_)
        showUncounted();
}

void LongTask::finish()
{
    if (dialog_) {
        dialog_->disconnect();
        dialog_->hide();
        dialog_->deleteLater();
        dialog_ = nullptr;
    }
}
