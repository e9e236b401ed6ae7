#pragma once

#include "store/ledgerlocation.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class LedgerBackups;
class QThread;
struct BackupFile;

// Keeps the ledger recoverable: after the window shows, it checks the ledger and backs it up in the
// background (a damaged ledger is offered its newest good backup instead); after a run that changed
// the ledger it backs it up once more; and it restores a chosen backup. Failures are said in a
// message box, never silently. A server ledger is backed up into ledger files as a file is; only the
// check for damage is the file's alone.
class SafetyNet : public QObject
{
    Q_OBJECT

public:
    // `reopened` is called after the ledger was replaced, to reconnect and refill.
    SafetyNet(std::function<void()> reopened, QObject* parent);
    ~SafetyNet() override;

    // Where the ledger is; the file until told otherwise.
    void setLocation(const LedgerLocation& location);
    const LedgerLocation& location() const { return location_; }

    // Starts the check and the backup of the ledger in the background; the answer comes later through
    // the event loop.
    void start();
    // Waits until the background work has ended and its answer was given.
    void waitUntilIdle();
    // At shutdown: a last backup when `changed`, after any background work has ended.
    void finish(bool changed);

    // Backs up the current ledger, then puts the backup in its place and reconnects. Says what
    // went wrong in a message box; true when the backup was restored.
    bool restore(const BackupFile& backup);

    LedgerBackups& backups() const { return *backups_; }

Q_SIGNALS:
    // The background work has ended and its answer was given.
    void idle();

private:
    struct Outcome
    {
        QString damage;  // the ledger's own damage, if it has any
        QString failure; // why no backup could be made, if none could
    };
    void answer(const Outcome& outcome);
    void offerNewestBackup(const QString& damage);

    LedgerLocation location_;
    std::unique_ptr<LedgerBackups> backups_;
    std::function<void()> reopened_;
    QThread* worker_ = nullptr;
};
