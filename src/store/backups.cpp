#include "store/backups.h"

#include "store/storeerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <sys/stat.h>

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

void writeText(const QString& path, const QString& text)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(text.toUtf8());
        file.close();
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    }
}

QString readText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
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
    if (!QFileInfo(folder).isDir() && ::mkdir(QFile::encodeName(folder).constData(), 0700) != 0)
        throw StoreError(u"Could not create the backups folder '"_s + QDir::toNativeSeparators(folder) + u"'."_s);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

} // namespace

DamagedBackup::DamagedBackup(const QString& why) : std::runtime_error(why.toStdString()) {}

QString backupsFolderOf(const QString& ledger)
{
    return QFileInfo(ledger).path() + u"/backups"_s;
}

LedgerBackups::LedgerBackups(QString ledger, QString folder) : ledger_(std::move(ledger)), folder_(std::move(folder)) {}

std::optional<BackupFile> LedgerBackups::backUp(const QDateTime& now)
{
    const QString fingerprint = ledgerFingerprint(ledger_);
    const QString statePath = folder_ + u'/' + QString::fromUtf16(stateFile);
    if (!fingerprint.isEmpty() && fingerprint == readText(statePath) && !list().isEmpty())
        return std::nullopt;

    makePrivateFolder(folder_);
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
        entries = copyLedger(ledger_, copy);
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

std::optional<BackupFile> LedgerBackups::restore(const QString& file, const QDateTime& now)
{
    // The file is checked before anything happens to the ledger.
    const QString damage = ledgerDamage(file);
    if (!damage.isEmpty())
        throw StoreError(u"'"_s + QDir::toNativeSeparators(file) + u"' cannot be restored: "_s + damage);
    std::optional<BackupFile> previous = backUp(now);
    replaceLedger(ledger_, file);
    return previous;
}

std::optional<BackupFile> LedgerBackups::newestGood() const
{
    for (const BackupFile& backup : list()) {
        if (ledgerDamage(backup.path).isEmpty())
            return backup;
    }
    return std::nullopt;
}
