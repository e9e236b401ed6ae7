#include "store/backups.h"

#include "base/regularfile.h"
#include "store/ledgerrestore.h"
#include "store/sqlitefile.h"
#include "store/storeerror.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int keepNewest = 10;
constexpr int keepDays = 14;
constexpr int keepMonths = 12;
constexpr auto namePrefix = u"dbData-";
constexpr auto nameSuffix = u".mdb";
constexpr auto nameTime = u"yyyyMMdd-HHmmss";
constexpr auto summarySuffix = u".summary";
constexpr auto stateFile = u"last-ledger-state";

QString summaryPath(const QString& backup)
{
    return backup + QString::fromUtf16(summarySuffix);
}

// Written beside and renamed, so whatever stood at the name (even a pipe) is replaced whole.
void writeText(const QString& path, const QString& text)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(text.toUtf8());
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        file.commit();
    }
}

QString readText(const QString& path)
{
    constexpr qint64 longestText = 4096;
    return QString::fromUtf8(readRegularFile(path, longestText).value_or(QByteArray()));
}

// Held while a backup is written or a restore runs: two runs of the program never work in the folder
// at once, and one that holds the lock knows that any half-written file there was abandoned.
class FolderLock
{
public:
    explicit FolderLock(const QString& folder)
        : fd_(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
    {
        if (fd_ < 0 || ::flock(fd_, LOCK_EX) != 0)
            throw StoreError(u"Could not use the backups folder '"_s + QDir::toNativeSeparators(folder) + u"'."_s);
    }
    ~FolderLock() { ::close(fd_); }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    int fd_;
};

QByteArray contentHash(const QString& path)
{
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!isRegularFile(path) || !file.open(QIODevice::ReadOnly) || !hash.addData(&file))
        return {};
    return hash.result();
}

std::optional<LedgerSummary> readSummary(const QString& path)
{
    const QStringList parts = readText(path).split(u' ');
    if (parts.size() != 3)
        return std::nullopt;
    bool ok[3] = {};
    LedgerSummary summary{parts[0].toLongLong(&ok[0]), parts[1].toDouble(&ok[1]), parts[2].toDouble(&ok[2])};
    if (!ok[0] || !ok[1] || !ok[2])
        return std::nullopt;
    return summary;
}

void makePrivateFolder(const QString& folder)
{
    // A server ledger's folder lies inside the file's: the folders on the way are private too.
    if (const QString parent = QFileInfo(folder).path(); parent != folder && !QFileInfo(parent).isDir())
        makePrivateFolder(parent);
    if (!QFileInfo(folder).isDir() && ::mkdir(QFile::encodeName(folder).constData(), 0700) != 0)
        throw StoreError(u"Could not create the backups folder '"_s + QDir::toNativeSeparators(folder) + u"'."_s);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// The ledger file, replaced in one step by a clean one.
class LedgerFile final : public BackedUpLedger
{
public:
    explicit LedgerFile(QString path) : path_(std::move(path)) {}

    QString fingerprint() const override { return ledgerFingerprint(path_); }
    qint64 copyTo(const QString& file) const override { return copyLedger(path_, file); }
    QString restoringFile() const override { return restoringFileOf(path_); }
    void replaceWith(const QString& rebuilt, bool& unchangedOnFailure) const override
    {
        const QByteArray before = contentHash(path_);
        try {
            putRebuiltInPlace(path_, rebuilt);
        } catch (const StoreError&) {
            unchangedOnFailure = contentHash(path_) == before;
            throw;
        }
    }

private:
    QString path_;
};

} // namespace

DamagedBackup::DamagedBackup(const QString& why) : std::runtime_error(why.toStdString()) {}

RestoreFailed::RestoreFailed(const QString& why, std::optional<BackupFile> previous, bool ledgerUnchanged)
    : StoreError(why), previous(std::move(previous)), ledgerUnchanged(ledgerUnchanged)
{
}

QString backedUpIn(const BackupFile& previous)
{
    return u"The ledger as it was is backed up in '%1'."_s.arg(QDir::toNativeSeparators(previous.path));
}

QString backupsFolderOf(const QString& ledger)
{
    return QFileInfo(ledger).path() + u"/backups"_s;
}

std::shared_ptr<const BackedUpLedger> ledgerFileToBackUp(QString path)
{
    return std::make_shared<LedgerFile>(std::move(path));
}

LedgerBackups::LedgerBackups(QString ledger, QString folder)
    : LedgerBackups(ledgerFileToBackUp(std::move(ledger)), std::move(folder))
{
}

LedgerBackups::LedgerBackups(std::shared_ptr<const BackedUpLedger> ledger, QString folder)
    : ledger_(std::move(ledger)), folder_(std::move(folder))
{
}

std::optional<BackupFile> LedgerBackups::backUp(const QDateTime& now)
{
    makePrivateFolder(folder_);
    const FolderLock lock(folder_);
    removeLeftovers();
    return backUpLocked(now);
}

void LedgerBackups::removeLeftovers() const
{
    static const QRegularExpression partial(u"^dbData-\\d{8}-\\d{6}\\.mdb\\.partial(-journal|-wal|-shm)?$"_s);
    const QDir::Filters anyKind = QDir::Files | QDir::System | QDir::Hidden;
    for (const QString& name : QDir(folder_).entryList(anyKind)) {
        if (partial.match(name).hasMatch())
            QFile::remove(folder_ + u'/' + name);
    }
    removeDatabaseFile(ledger_->restoringFile());
}

std::optional<BackupFile> LedgerBackups::backUpLocked(const QDateTime& now)
{
    const QString fingerprint = ledger_->fingerprint();
    const QString statePath = folder_ + u'/' + QString::fromUtf16(stateFile);
    if (!fingerprint.isEmpty() && fingerprint == readText(statePath) && !list().isEmpty())
        return std::nullopt;

    // Two backups in one second get the second one a later name.
    QDateTime taken = now;
    QString path;
    do {
        path = folder_ + u'/' + QString::fromUtf16(namePrefix) + taken.toString(QString::fromUtf16(nameTime)) +
               QString::fromUtf16(nameSuffix);
        taken = taken.addSecs(1);
    } while (QFileInfo::exists(path));
    taken = taken.addSecs(-1);

    const QString copy = path + u".partial"_s;
    qint64 entries = 0;
    try {
        entries = ledger_->copyTo(copy);
    } catch (...) {
        QFile::remove(copy);
        throw;
    }
    if (beforeCheck)
        beforeCheck(copy);
    QString damage = ledgerDamage(copy);
    LedgerSummary summary;
    if (damage.isEmpty()) {
        summary = summarizeLedger(copy);
        if (summary.entries != entries)
            damage = u"it holds %1 entries instead of %2"_s.arg(summary.entries).arg(entries);
    }
    if (!damage.isEmpty()) {
        QFile::remove(copy);
        throw DamagedBackup(u"The backup of the ledger taken at %1 failed its check and was deleted: %2"_s.arg(
            taken.toString(Qt::ISODate), damage));
    }
    syncToDisk(copy);
    writeText(summaryPath(path),
              u"%1 %2 %3"_s.arg(summary.entries).arg(summary.received, 0, 'g', 17).arg(summary.paid, 0, 'g', 17));
    if (::rename(QFile::encodeName(copy).constData(), QFile::encodeName(path).constData()) != 0) {
        QFile::remove(copy);
        throw StoreError(u"Could not name the backup '"_s + QDir::toNativeSeparators(path) + u"'."_s);
    }
    syncToDisk(folder_);
    writeText(statePath, fingerprint);
    prune(now);
    return BackupFile{path, taken};
}

QList<BackupFile> LedgerBackups::list() const
{
    QList<BackupFile> backups;
    const QString pattern = QString::fromUtf16(namePrefix) + u'*' + QString::fromUtf16(nameSuffix);
    for (const QFileInfo& info : QDir(folder_).entryInfoList({pattern}, QDir::Files, QDir::Name | QDir::Reversed)) {
        const QString stamp = info.fileName().mid(QStringView(namePrefix).size(), QStringView(nameTime).size());
        const QDateTime taken = QDateTime::fromString(stamp, QString::fromUtf16(nameTime));
        if (taken.isValid())
            backups.append({info.filePath(), taken});
    }
    return backups;
}

LedgerSummary LedgerBackups::summary(const BackupFile& backup) const
{
    if (const auto kept = readSummary(summaryPath(backup.path)))
        return *kept;
    return summarizeLedger(backup.path);
}

void LedgerBackups::prune(const QDateTime& now)
{
    const QList<BackupFile> backups = list();
    QList<QDateTime> taken;
    for (const BackupFile& backup : backups)
        taken.append(backup.taken);
    const QList<bool> keep = backupsToKeep(taken, now);
    for (qsizetype i = 0; i < backups.size(); ++i) {
        if (!keep[i]) {
            QFile::remove(backups[i].path);
            QFile::remove(summaryPath(backups[i].path));
        }
    }
}

QList<bool> backupsToKeep(const QList<QDateTime>& takenNewestFirst, const QDateTime& now)
{
    QList<bool> keep(takenNewestFirst.size(), false);
    const QDate today = now.date();
    const QDate firstDay = today.addDays(-(keepDays - 1));
    const QDate firstMonth = QDate(today.year(), today.month(), 1).addMonths(-(keepMonths - 1));
    QSet<qint64> daysSeen;
    QSet<int> monthsSeen;
    for (qsizetype i = 0; i < takenNewestFirst.size(); ++i) {
        const QDate day = takenNewestFirst[i].date();
        const int month = day.year() * 12 + day.month();
        if (i < keepNewest)
            keep[i] = true;
        // The list runs newest first, so the first one met of a day or month is its newest.
        if (day >= firstDay && day <= today && !daysSeen.contains(day.toJulianDay())) {
            daysSeen.insert(day.toJulianDay());
            keep[i] = true;
        }
        if (day >= firstMonth && day <= today && !monthsSeen.contains(month)) {
            monthsSeen.insert(month);
            keep[i] = true;
        }
    }
    return keep;
}

BackupFile LedgerBackups::restore(const QString& file, const QDateTime& now)
{
    makePrivateFolder(folder_);
    const FolderLock lock(folder_);
    removeLeftovers();
    // The file is read and a clean ledger made of it before anything happens to the ledger.
    const QString rebuilt = ledger_->restoringFile();
    try {
        rebuildLedger(file, rebuilt);
    } catch (const StoreError& error) {
        throw RestoreFailed(QString::fromUtf8(error.what()), std::nullopt, true);
    }
    std::optional<BackupFile> previous;
    try {
        previous = backUpLocked(now);
        if (!previous && !list().isEmpty())
            previous = list().first();
        if (!previous)
            throw StoreError(u"The ledger could not be backed up first."_s);
    } catch (const std::exception& error) {
        removeLeftovers();
        throw RestoreFailed(QString::fromUtf8(error.what()), std::nullopt, true);
    }
    bool unchanged = false;
    try {
        ledger_->replaceWith(rebuilt, unchanged);
    } catch (const StoreError& error) {
        removeLeftovers();
        throw RestoreFailed(QString::fromUtf8(error.what()), previous, unchanged);
    }
    removeLeftovers();
    return *previous;
}

std::optional<BackupFile> LedgerBackups::newestGood() const
{
    for (const BackupFile& backup : list()) {
        if (ledgerDamage(backup.path).isEmpty())
            return backup;
    }
    return std::nullopt;
}
