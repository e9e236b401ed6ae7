#include "app/longtask.h"

#include <QCoreApplication>
#include <QEvent>
#include <QProgressDialog>
#include <QWidget>

namespace {

constexpr qint64 eventIntervalMs = 10;
constexpr int dialogSteps = 1000;

// Sets a flag when the watched window is asked to close.
class CloseWatch : public QObject
{
public:
    explicit CloseWatch(bool& closed) : closed_(closed) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Close)
            closed_ = true;
        return false;
    }

private:
    bool& closed_;
};

} // namespace

LongTask::LongTask(QWidget* owner, const QString& label, qint64 total)
    : owner_(owner), label_(label), total_(std::max<qint64>(total, 1))
{
    started_.start();
    if (owner) {
        closeWatch_ = std::make_unique<CloseWatch>(canceled_);
        owner->window()->installEventFilter(closeWatch_.get());
    }
}

LongTask::~LongTask()
{
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
    if (dialog_) {
        dialog_->setValue(uncounted_ ? 0 : int(std::clamp<qint64>(done * dialogSteps / total_, 0, dialogSteps - 1)));
        QCoreApplication::processEvents();
    } else {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
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
    auto* dialog = new QProgressDialog(label_, QProgressDialog::tr("Cancel"), 0, dialogSteps, owner_);
    dialog->setObjectName(QStringLiteral("LongTaskProgress"));
    if (owner_)
        dialog->setWindowTitle(owner_->window()->windowTitle());
    dialog->setWindowModality(Qt::WindowModal);
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
