#include "ui/main/ledgerhistory.h"

#include "app/prompter.h"
#include "store/changeset.h"

#include <QAction>
#include <QUndoCommand>
#include <QUndoStack>
#include <QWidget>
#include <exception>

namespace {

class LedgerStep : public QUndoCommand
{
public:
    LedgerStep(const QString& name, QByteArray changes, const LedgerEntries& ledger,
               const LedgerHistory::Refill& refilled)
        : QUndoCommand(name), changes_(std::move(changes)), ledger_(ledger), refilled_(refilled)
    {
    }

    // The command has already run when its step is pushed: the first redo has nothing to do.
    void redo() override
    {
        if (std::exchange(alreadyDone_, false))
            return;
        apply(changes_);
    }

    void undo() override { apply(reversed(changes_)); }

private:
    // A step that can no longer apply changes nothing, says why, and leaves the history: it could
    // never apply again.
    void apply(const QByteArray& changes)
    {
        try {
            applyChanges(ledger_.connection(), changes);
        } catch (const std::exception& error) {
            setObsolete(true);
            MsgBox(QString::fromUtf8(error.what()));
            return;
        }
        refilled_(changedIds(changes));
    }

    QByteArray changes_;
    const LedgerEntries& ledger_;
    const LedgerHistory::Refill& refilled_;
    bool alreadyDone_ = true;
};

} // namespace

LedgerHistory::LedgerHistory(LedgerEntries ledger, Refill refilled, QWidget* window)
    : QObject(window), stack_(new QUndoStack(this)), ledger_(std::move(ledger)), refilled_(std::move(refilled))
{
    undo_ = stack_->createUndoAction(this, tr("Undo"));
    undo_->setShortcut(QKeySequence::Undo);
    redo_ = stack_->createRedoAction(this, tr("Redo"));
    redo_->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    // Shortcuts of the whole window, wherever the focus stands in it.
    for (QAction* action : {undo_, redo_}) {
        action->setShortcutContext(Qt::WindowShortcut);
        window->addAction(action);
    }
}

LedgerHistory::~LedgerHistory() = default;

void LedgerHistory::record(const QString& name, const std::function<void()>& command)
{
    std::unique_ptr<ChangeRecorder> recorder;
    try {
        recorder = std::make_unique<ChangeRecorder>(ledger_.connection());
    } catch (const std::exception&) {
        // No connection, or the engine cannot record: the command reports its own failures.
    }
    command();
    if (!recorder)
        return;
    QByteArray changes;
    try {
        changes = recorder->changes();
    } catch (const std::exception&) {
        return;
    }
    if (changes.isEmpty())
        return;
    changed_ = true;
    stack_->push(new LedgerStep(name, std::move(changes), ledger_, refilled_));
}

bool LedgerHistory::hasChanges() const
{
    return changed_;
}
