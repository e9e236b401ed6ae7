#pragma once

#include "store/ledgerentries.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <functional>

class QAction;
class QUndoStack;
class QWidget;

// The changes this run made to the ledger, each a step that Undo reverses and Redo makes again.
// Every step holds the exact rows it touched, so an undone delete brings the entry back with its
// own id and every value as it was. After each undo or redo `refilled` is called with the ids of
// the entries concerned.
class LedgerHistory : public QObject
{
    Q_OBJECT

public:
    using Refill = std::function<void(const QList<qint64>& ids)>;

    LedgerHistory(LedgerEntries ledger, Refill refilled, QWidget* window);
    ~LedgerHistory() override;

    // Runs a command and keeps what it changed in the ledger as one step named `name`. A command
    // that changed nothing leaves no step. Without a ledger connection the command simply runs.
    void record(const QString& name, const std::function<void()>& command);

    // Undo (Ctrl+Z) and Redo (Ctrl+Shift+Z, Ctrl+Y), enabled while there is a step to take.
    QAction* undoAction() const { return undo_; }
    QAction* redoAction() const { return redo_; }
    bool hasChanges() const;
    QUndoStack* stack() const { return stack_; }

private:
    QUndoStack* stack_;
    QAction* undo_;
    QAction* redo_;
    LedgerEntries ledger_;
    Refill refilled_;
    // Set by any step ever taken, also when later undone: the ledger file has changed.
    bool changed_ = false;
};
