#include "ui/main/safetynet.h"

#include "app/prompter.h"
#include "base/clock.h"
#include "base/paths.h"
#include "store/backups.h"

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

SafetyNet::SafetyNet(std::function<void()> reopened, QObject* parent)
    : QObject(parent), backups_(std::make_unique<LedgerBackups>(databaseFile(), backupsFolderOf(databaseFile()))),
      reopened_(std::move(reopened))
{
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
    auto backups = std::make_shared<LedgerBackups>(databaseFile(), backups_->folder());
    worker_ = QThread::create([this, backups] {
        Outcome outcome;
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
        backups_->restore(backup.path, now());
    } catch (const std::exception& error) {
        MsgBox(u"The backup taken %1 was not restored; the ledger is as it was.\n\n%2"_s.arg(whenTaken(backup),
                                                                                             failureText(error)));
        return false;
    }
    reopened_();
    return true;
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
    try {
        if (!QFile::copy(ledger, kept))
            throw std::runtime_error("Could not keep a copy of the damaged ledger; nothing was restored.");
        QFile::setPermissions(kept, QFile::ReadOwner | QFile::WriteOwner);
        replaceLedger(ledger, good->path);
    } catch (const std::exception& error) {
        MsgBox(failureText(error));
        return;
    }
    reopened_();
}
