#pragma once

#include "store/ledgerfile.h"
#include "store/storeerror.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>
#include <memory>
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

// A restore that did not happen, or did not end. `previous` is the backup of the ledger as it was, when
// one was made before the failure; `ledgerUnchanged` is true when the ledger in place is byte for byte
// the one before.
class RestoreFailed : public StoreError
{
public:
    RestoreFailed(const QString& why, std::optional<BackupFile> previous, bool ledgerUnchanged);
    std::optional<BackupFile> previous;
    bool ledgerUnchanged;
};

// What backups are taken of and restored into: a ledger file, or a ledger on a server.
class BackedUpLedger
{
public:
    virtual ~BackedUpLedger() = default;
    // A short text that changes whenever the ledger does; empty when it cannot be told.
    virtual QString fingerprint() const = 0;
    // Writes the whole ledger, as one moment of it, as a new ledger file; returns its entries.
    virtual qint64 copyTo(const QString& file) const = 0;
    // Where a restore makes its clean ledger file before it takes its place.
    virtual QString restoringFile() const = 0;
    // Puts the clean ledger file `rebuilt` in the ledger's place. When that fails, says whether the
    // ledger is still as it was.
    virtual void replaceWith(const QString& rebuilt, bool& unchangedOnFailure) const = 0;
};

// The ledger file at `path`, replaced in one step by a clean one.
std::shared_ptr<const BackedUpLedger> ledgerFileToBackUp(QString path);

// The backups of one ledger: a private folder of verified copies, named by the moment they were
// taken ("dbData-YYYYMMDD-HHMMSS.mdb"), each with a small summary beside it.
class LedgerBackups
{
public:
    // The backups of the ledger file `ledger`.
    LedgerBackups(QString ledger, QString folder);
    LedgerBackups(std::shared_ptr<const BackedUpLedger> ledger, QString folder);

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

    // Makes a clean ledger of the entries in `file` (see rebuildLedger), backs up the ledger as it
    // is, then puts the clean one in its place. Nothing is replaced when the file is no ledger or the
    // backup fails. Returns the backup that holds the ledger as it was (the newest one, when the
    // ledger had not changed since). Throws RestoreFailed.
    BackupFile restore(const QString& file, const QDateTime& now);

    // Removes what a run that died left behind: half-written backups in the folder and a half-made
    // restore beside the ledger. Only files of the program's own naming are touched.
    void removeLeftovers() const;

    // The newest backup that passes the full check, if any.
    std::optional<BackupFile> newestGood() const;

    const QString& folder() const { return folder_; }

    // Called with the freshly written copy before it is checked (tests damage it here).
    std::function<void(const QString& copy)> beforeCheck;

private:
    std::optional<BackupFile> backUpLocked(const QDateTime& now);

    std::shared_ptr<const BackedUpLedger> ledger_;
    QString folder_;
};

// Which of the backups (taken at these moments, newest first) to keep at `now`: the newest 10,
// the newest of each of the last 14 days, and the newest of each of the last 12 months.
QList<bool> backupsToKeep(const QList<QDateTime>& takenNewestFirst, const QDateTime& now);

// "The ledger as it was is backed up in '…'.", said after every restore.
QString backedUpIn(const BackupFile& previous);

// The backups folder of a ledger: "backups" beside it.
QString backupsFolderOf(const QString& ledger);
