#pragma once

#include "store/ledgerfile.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>
#include <optional>
#include <stdexcept>

// One verified backup in the backups folder.
struct BackupFile
{
    QString path;
    QDateTime taken;
};

// A backup that failed its check after it was written; it was deleted.
class DamagedBackup : public std::runtime_error
{
public:
    explicit DamagedBackup(const QString& why);
};

// The backups of one ledger: a private folder of verified copies, named by the moment they were
// taken ("dbData-YYYYMMDD-HHMMSS.mdb"), each with a small summary beside it.
class LedgerBackups
{
public:
    LedgerBackups(QString ledger, QString folder);

    // Writes a backup unless the ledger is unchanged since the newest one, checks it (integrity and the
    // number of entries) and only then gives it its name and prunes the older ones. Returns the new
    // backup, or nothing when none was needed. Throws DamagedBackup when the copy failed its check
    // (it is deleted; the older backups stay as they were), StoreError when no copy could be made.
    std::optional<BackupFile> backUp(const QDateTime& now);

    // The verified backups, newest first.
    QList<BackupFile> list() const;
    // The summary kept beside a backup, or read from the backup itself when that is missing.
    LedgerSummary summary(const BackupFile& backup) const;

    // Deletes the backups that the keeping rule no longer wants.
    void prune(const QDateTime& now);

    // Backs up the ledger as it is, then replaces it with the ledger in `file` (see replaceLedger).
    // Nothing is replaced when that backup fails. Returns the backup of the replaced ledger, or
    // nothing when the newest backup already held it.
    std::optional<BackupFile> restore(const QString& file, const QDateTime& now);

    // The newest backup that passes the full check, if any.
    std::optional<BackupFile> newestGood() const;

    const QString& folder() const { return folder_; }

    // Called with the freshly written copy before it is checked (tests damage it here).
    std::function<void(const QString& copy)> beforeCheck;

private:
    QString ledger_;
    QString folder_;
};

// Which of the backups (taken at these moments, newest first) to keep at `now`: the newest 10,
// the newest of each of the last 14 days, and the newest of each of the last 12 months.
QList<bool> backupsToKeep(const QList<QDateTime>& takenNewestFirst, const QDateTime& now);

// The backups folder of a ledger: "backups" beside it.
QString backupsFolderOf(const QString& ledger);
