#include "ui/backups/safetynet.h"

#include "app/prompter.h"
#include "base/clock.h"
#include "base/paths.h"
#include "base/regularfile.h"
#include "store/backups.h"
#include "store/ledgerrestore.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLocale>
#include <QThread>
#include <exception>

using namespace Qt::StringLiterals;

namespace {

QString whenTaken(const BackupFile& backup)
{
    return QLocale().toString(backup.taken, QLocale::ShortFormat);
}

QString failureText(const std::exception& error)
{
    return QString::fromUtf8(error.what());
}

} // namespace

SafetyNet::SafetyNet(std::function<void()> reopened, QObject* parent) : QObject(parent), reopened_(std::move(reopened))
{
    setLocation(location_);
}

void SafetyNet::setLocation(const LedgerLocation& location)
{
    waitUntilIdle();
    location_ = location;
    backups_ = std::make_unique<LedgerBackups>(location_.toBackUp(), location_.backupsFolder());
}

SafetyNet::~SafetyNet()
{
    if (worker_)
        worker_->wait();
}

void SafetyNet::start()
{
    if (worker_)
        return;
    // The worker reads over connections of its own; the window's connection stays on this thread.
    auto backups = std::make_shared<LedgerBackups>(location_.toBackUp(), backups_->folder());
    const bool onServer = location_.onServer();
    // Without a ledger file (its folder could not be made, or the template was missing) start-up has
    // said so already: there is nothing to check or back up.
    if (!onServer && !isRegularFile(databaseFile()))
        return;
    worker_ = QThread::create([this, backups, onServer] {
        Outcome outcome;
        // A server keeps its own data sound; a file is checked here.
        if (!onServer)
            outcome.damage = ledgerDamage(databaseFile(), true);
        if (outcome.damage.isEmpty()) {
            try {
                backups->backUp(now());
            } catch (const std::exception& error) {
                outcome.failure = failureText(error);
            }
        }
        QMetaObject::invokeMethod(
            this, [this, outcome] { answer(outcome); }, Qt::QueuedConnection);
    });
    worker_->start(QThread::LowPriority);
}

void SafetyNet::waitUntilIdle()
{
    if (!worker_)
        return;
    QEventLoop loop;
    connect(this, &SafetyNet::idle, &loop, &QEventLoop::quit);
    if (worker_)
        loop.exec();
}

void SafetyNet::answer(const Outcome& outcome)
{
    worker_->wait();
    delete std::exchange(worker_, nullptr);
    if (!outcome.damage.isEmpty())
        offerNewestBackup(outcome.damage);
    else if (!outcome.failure.isEmpty())
        MsgBox(outcome.failure);
    Q_EMIT idle();
}

void SafetyNet::finish(bool changed)
{
    waitUntilIdle();
    if (!changed)
        return;
    try {
        backups_->backUp(now());
    } catch (const std::exception& error) {
        MsgBox(failureText(error));
    }
}

bool SafetyNet::restore(const BackupFile& backup)
{
    waitUntilIdle();
    try {
        const BackupFile previous = backups_->restore(backup.path, now());
        reopened_();
        MsgBox(u"The backup taken %1 was restored. %2"_s.arg(whenTaken(backup), backedUpIn(previous)));
        return true;
    } catch (const RestoreFailed& error) {
        if (error.ledgerUnchanged) {
            MsgBox(u"The backup taken %1 was not restored; the ledger is as it was.%2\n\n%3"_s.arg(
                whenTaken(backup), error.previous ? u' ' + backedUpIn(*error.previous) : QString(),
                failureText(error)));
        } else {
            // Whatever the ledger holds now, the window must show it.
            reopened_();
            MsgBox(u"Restoring the backup taken %1 failed midway; the ledger may have changed. %2\n\n%3"_s.arg(
                whenTaken(backup), backedUpIn(*error.previous), failureText(error)));
        }
        return false;
    }
}

void SafetyNet::offerNewestBackup(const QString& damage)
{
    const QString ledger = databaseFile();
    const std::optional<BackupFile> good = backups_->newestGood();
    if (!good) {
        MsgBox(
            u"The ledger file '%1' is damaged: %2\n\nThere is no backup to restore; the file was left as it is."_s.arg(
                QDir::toNativeSeparators(ledger), damage));
        return;
    }
    const QString kept = ledger + u".damaged-"_s + now().toString(u"yyyyMMdd-HHmmss"_s);
    const qint64 entries = backups_->summary(*good).entries;
    if (!prompter().askYesNo(u"The ledger file '%1' is damaged: %2\n\nRestore the newest good backup, taken %3 with %4 "
                             "entries? The damaged file is kept as '%5'."_s
                                 .arg(QDir::toNativeSeparators(ledger), damage, whenTaken(*good))
                                 .arg(entries)
                                 .arg(QDir::toNativeSeparators(kept)),
                             u"Damaged ledger"_s))
        return;
    if (!QFile::copy(ledger, kept)) {
        MsgBox(u"Could not keep a copy of the damaged ledger; nothing was restored."_s);
        return;
    }
    QFile::setPermissions(kept, QFile::ReadOwner | QFile::WriteOwner);
    const QString keptIn = u"The damaged ledger is kept as '%1'."_s.arg(QDir::toNativeSeparators(kept));
    try {
        restoreLedger(ledger, good->path);
    } catch (const std::exception& error) {
        MsgBox(u"The backup taken %1 was not restored. %2\n\n%3"_s.arg(whenTaken(*good), keptIn, failureText(error)));
        return;
    }
    reopened_();
    MsgBox(u"The backup taken %1 was restored. %2"_s.arg(whenTaken(*good), keptIn));
}
