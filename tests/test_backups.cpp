// Backups of the ledger: written as one consistent snapshot, checked before they count, pruned by the
// keeping rule, restored atomically.
#include "base/paths.h"
#include "store/backups.h"
#include "store/ledgerrestore.h"
#include "store/programconnection.h"
#include "store/storeerror.h"
#include "support/ledgerfixture.h"
#include "support/ledgersnapshot.h"
#include "support/printers.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTest>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

const QDateTime start(QDate(2026, 1, 1), QTime(9, 0));

class BackupsTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ledger = openFreshLedger();
        addEntry(sampleEntry(u"Gig"_s, u"100"_s));
        addEntry(sampleEntry(u"Rent"_s, u"40.5"_s, Direction::PaidOut));
    }

    QStringList backupNames() const
    {
        QStringList names;
        for (const BackupFile& backup : backups.list())
            names.append(QFileInfo(backup.path).fileName());
        return names;
    }

    QString ledger;
    LedgerBackups backups{databaseFile(), backupsFolderOf(databaseFile())};
};

// The promised set worked out afresh from every moment a backup was ever taken.
QSet<QDateTime> promised(const QList<QDateTime>& everTaken, const QDateTime& now)
{
    QList<QDateTime> newestFirst = everTaken;
    std::sort(newestFirst.begin(), newestFirst.end(), std::greater<>());
    QSet<QDateTime> keep(newestFirst.begin(), newestFirst.begin() + std::min<qsizetype>(10, newestFirst.size()));
    for (int d = 0; d < 14; ++d) {
        const QDate day = now.date().addDays(-d);
        for (const QDateTime& t : newestFirst)
            if (t.date() == day) {
                keep.insert(t);
                break;
            }
    }
    for (int m = 0; m < 12; ++m) {
        const QDate month = QDate(now.date().year(), now.date().month(), 1).addMonths(-m);
        for (const QDateTime& t : newestFirst)
            if (t.date().year() == month.year() && t.date().month() == month.month()) {
                keep.insert(t);
                break;
            }
    }
    return keep;
}

} // namespace

TEST_F(BackupsTest, ABackupIsAPrivateCheckedCopyAndAnUnchangedLedgerIsNotCopiedAgain)
{
    const auto first = backups.backUp(start);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(QFileInfo(first->path).fileName(), u"dbData-20260101-090000.mdb");
    EXPECT_EQ(snapshotLedger(first->path), snapshotLedger(ledger));
    EXPECT_EQ(fileMode(backups.folder()), 0700u);
    EXPECT_EQ(fileMode(first->path), 0600u);
    const LedgerSummary summary = backups.summary(*first);
    EXPECT_EQ(summary.entries, 2);
    EXPECT_DOUBLE_EQ(summary.received, 100);
    EXPECT_DOUBLE_EQ(summary.paid, 40.5);

    EXPECT_FALSE(backups.backUp(start.addSecs(60)).has_value()) << "nothing changed";
    addEntry(sampleEntry(u"Job"_s, u"1"_s));
    const auto second = backups.backUp(start.addSecs(60));
    ASSERT_TRUE(second.has_value());
    EXPECT_EQ(backups.summary(*second).entries, 3);
    // Two in the same second do not overwrite each other.
    addEntry(sampleEntry(u"Job"_s, u"2"_s));
    const auto third = backups.backUp(start.addSecs(60));
    ASSERT_TRUE(third.has_value());
    EXPECT_EQ(backupNames(), (QStringList{u"dbData-20260101-090101.mdb"_s, u"dbData-20260101-090100.mdb"_s,
                                          u"dbData-20260101-090000.mdb"_s}));
}

TEST_F(BackupsTest, ADamagedOrTruncatedCopyIsDeletedAndNeverReplacesAGoodOne)
{
    const auto good = backups.backUp(start);
    ASSERT_TRUE(good.has_value());
    const LedgerSnapshot goodRows = snapshotLedger(good->path);

    const std::function<void(const QString&)> damages[] = {
        [](const QString& copy) { QFile::resize(copy, QFileInfo(copy).size() / 2); },
        [](const QString& copy) {
            // The second page holds the ledger table's rows.
            QFile file(copy);
            ASSERT_TRUE(file.open(QIODevice::ReadWrite));
            file.seek(4096);
            file.write(QByteArray(64, '\x5a'));
        },
        [](const QString& copy) { QFile::resize(copy, 0); },
    };
    for (const auto& damage : damages) {
        addEntry(sampleEntry(u"More"_s, u"3"_s));
        backups.beforeCheck = damage;
        EXPECT_THROW(backups.backUp(start.addDays(1)), DamagedBackup);
        EXPECT_EQ(backupNames(), QStringList{u"dbData-20260101-090000.mdb"_s});
        EXPECT_EQ(snapshotLedger(good->path), goodRows);
        EXPECT_EQ(QDir(backups.folder()).entryList({u"*.partial"_s}, QDir::Files), QStringList());
    }
    // The next sound copy is taken: a failed one does not count as the newest.
    backups.beforeCheck = nullptr;
    EXPECT_TRUE(backups.backUp(start.addDays(1)).has_value());
}

TEST_F(BackupsTest, PruningKeepsExactlyThePromisedSetOnASimulatedCalendar)
{
    // Four backups a day at uneven hours, with gaps of days and weeks, for two years.
    QList<QDateTime> everTaken;
    QDateTime now = start;
    QList<QDateTime> kept;
    int day = 0;
    while (now < start.addYears(2)) {
        now = now.addSecs(3600 * (5 + day % 3));
        if (day % 37 == 5)
            now = now.addDays(9); // a holiday
        ++day;
        everTaken.append(now);
        kept.prepend(now);
        const QList<bool> keep = backupsToKeep(kept, now);
        QList<QDateTime> left;
        for (qsizetype i = 0; i < kept.size(); ++i)
            if (keep[i])
                left.append(kept[i]);
        kept = left;
        ASSERT_EQ(QSet<QDateTime>(kept.begin(), kept.end()), promised(everTaken, now)) << now.toString().toStdString();
    }
    EXPECT_LE(kept.size(), 10 + 14 + 12);
}

TEST_F(BackupsTest, PruningDeletesTheFilesTheRuleNoLongerWants)
{
    for (int d = 0; d < 40; ++d) {
        addEntry(sampleEntry(u"Day"_s, QString::number(d)));
        ASSERT_TRUE(backups.backUp(start.addDays(d)).has_value());
    }
    const QDateTime now = start.addDays(39);
    QSet<QDateTime> onDisk;
    for (const BackupFile& backup : backups.list())
        onDisk.insert(backup.taken);
    QList<QDateTime> everTaken;
    for (int d = 0; d < 40; ++d)
        everTaken.append(start.addDays(d));
    EXPECT_EQ(onDisk, promised(everTaken, now));
    EXPECT_EQ(QDir(backups.folder()).entryList({u"*.summary"_s}, QDir::Files).size(), onDisk.size());
}

TEST_F(BackupsTest, ABackupTakenWhileAnotherProcessWritesIsConsistent)
{
    QProcess writer;
    writer.start(QCoreApplication::applicationDirPath() + u"/quorvane_crash_harness"_s,
                 {u"write"_s, SpecialFolderPath(35), u"other"_s, u"600"_s, u"2"_s});
    ASSERT_TRUE(writer.waitForReadyRead(30000)) << writer.readAllStandardError().toStdString();
    // Backups one after another for as long as the writer writes; each must be sound and agree
    // with itself, however the writer's saves fell around it.
    const auto writing = [&] { return writer.state() == QProcess::Running && !writer.waitForFinished(0); };
    int duringWrites = 0;
    for (int i = 0; i < 10000 && writing(); ++i) {
        const auto backup = backups.backUp(start.addSecs(i));
        if (!backup)
            continue; // the writer had not saved anything since the last one
        duringWrites += writing() ? 1 : 0;
        EXPECT_EQ(ledgerDamage(backup->path), QString());
        EXPECT_EQ(backups.summary(*backup).entries, summarizeLedger(backup->path).entries);
    }
    writer.waitForFinished(60000);
    EXPECT_EQ(writer.exitCode(), 0) << writer.readAllStandardError().toStdString();
    EXPECT_GE(duringWrites, 1);
}

TEST_F(BackupsTest, RestoreBacksUpTheLedgerFirstAndAnotherConnectionSeesTheRestoredOne)
{
    const auto older = backups.backUp(start);
    ASSERT_TRUE(older.has_value());
    const LedgerSnapshot olderRows = snapshotLedger(ledger);
    addEntry(sampleEntry(u"Later"_s, u"9"_s));
    const LedgerSnapshot laterRows = snapshotLedger(ledger);

    // The program's own connection stays open throughout, as another process's would.
    const BackupFile previous = backups.restore(older->path, start.addDays(1));
    EXPECT_EQ(snapshotLedger(ledger), olderRows);
    EXPECT_EQ(snapshotLedger(previous.path), laterRows);
    EXPECT_EQ(ledgerDamage(ledger), QString());
    addEntry(sampleEntry(u"After"_s, u"1"_s));
    EXPECT_EQ(snapshotLedger(ledger).size(), olderRows.size() + 1);
}

TEST_F(BackupsTest, AFileThatIsNoSoundLedgerIsNeverRestored)
{
    const LedgerSnapshot rows = snapshotLedger(ledger);
    const QString junk = QDir(SpecialFolderPath(35)).filePath(u"junk.mdb"_s);
    QFile file(junk);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(8192, 'x'));
    file.close();
    for (const QString& path : {junk, junk + u"-missing"_s}) {
        EXPECT_THROW(backups.restore(path, start), StoreError) << path.toStdString();
        EXPECT_EQ(snapshotLedger(ledger), rows);
        EXPECT_TRUE(backups.list().isEmpty()) << "nothing happens before the file is found sound";
    }
}

TEST_F(BackupsTest, ALedgerThatCannotBeOpenedIsReplacedByWritingBesideAndRenaming)
{
    const auto good = backups.backUp(start);
    ASSERT_TRUE(good.has_value());
    ConnSlot().reset();
    QFile file(ledger);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(QByteArray(4096, '\x01'));
    file.close();
    EXPECT_NE(ledgerDamage(ledger, true), QString());

    restoreLedger(ledger, good->path);
    EXPECT_EQ(ledgerDamage(ledger), QString());
    EXPECT_EQ(snapshotLedger(ledger), snapshotLedger(good->path));
    EXPECT_EQ(fileMode(ledger), 0600u);
}

TEST_F(BackupsTest, AKillDuringRestoreLeavesTheOldOrTheNewLedgerNeverAMix)
{
    QProcess harness;
    harness.start(QCoreApplication::applicationDirPath() + u"/quorvane_crash_harness"_s,
                  {u"restore"_s, u"25"_s, u"20261208"_s});
    ASSERT_TRUE(harness.waitForFinished(300000));
    EXPECT_EQ(harness.exitCode(), 0) << harness.readAllStandardOutput().toStdString()
                                     << harness.readAllStandardError().toStdString();
}

TEST_F(BackupsTest, RestoreWhileAnotherProcessWritesToTheLedgerCorruptsNeither)
{
    const auto older = backups.backUp(start);
    ASSERT_TRUE(older.has_value());
    const LedgerSnapshot olderRows = snapshotLedger(older->path);
    QProcess writer;
    writer.start(QCoreApplication::applicationDirPath() + u"/quorvane_crash_harness"_s,
                 {u"write"_s, SpecialFolderPath(35), u"other"_s, u"300"_s, u"3"_s});
    ASSERT_TRUE(writer.waitForReadyRead(30000)) << writer.readAllStandardError().toStdString();
    // Let it save a few entries first, then restore under its feet.
    qsizetype saved = 0;
    while (saved < 5 && writer.waitForReadyRead(10000))
        saved += writer.readAllStandardOutput().count('\n');
    ASSERT_EQ(writer.state(), QProcess::Running) << "the writer ended before the restore";
    const BackupFile previous = backups.restore(older->path, start.addDays(1));
    ASSERT_TRUE(writer.state() == QProcess::NotRunning || writer.waitForFinished(60000));
    EXPECT_EQ(writer.exitCode(), 0) << writer.readAllStandardError().toStdString();

    EXPECT_EQ(ledgerDamage(ledger), QString());
    EXPECT_EQ(ledgerDamage(previous.path), QString());
    EXPECT_EQ(snapshotLedger(older->path), olderRows) << "the restored backup is read, never written";
    const LedgerSnapshot now = snapshotLedger(ledger);
    // The restored entries are there; what the writer saved after the restore follows them.
    ASSERT_GE(now.size(), olderRows.size());
    EXPECT_EQ(now.mid(0, olderRows.size()), olderRows);
    EXPECT_GT(snapshotLedger(previous.path).size(), olderRows.size()) << "the writer's first saves were backed up";
}

TEST_F(BackupsTest, HalfWrittenFilesOfTheProgramsOwnNamingAreRemovedByTheNextBackup)
{
    const QString folder = backups.folder();
    QDir().mkpath(folder);
    const QStringList left = {u"dbData-20260101-090000.mdb.partial"_s, u"dbData-20260101-090000.mdb.partial-journal"_s,
                              restoringFileOf(ledger), restoringFileOf(ledger) + u"-journal"_s};
    const QStringList others = {u"dbData-notes.partial"_s, u"mine.mdb.partial"_s};
    for (const QString& name : left + others) {
        QFile file(name.startsWith(u'/') ? name : folder + u'/' + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(1024, 'x'));
    }
    ASSERT_TRUE(backups.backUp(start).has_value());
    for (const QString& name : left)
        EXPECT_FALSE(QFile::exists(name.startsWith(u'/') ? name : folder + u'/' + name)) << name.toStdString();
    for (const QString& name : others)
        EXPECT_TRUE(QFile::exists(folder + u'/' + name)) << name.toStdString();
}

TEST_F(BackupsTest, PipesAmongTheBackupsFilesNeitherBlockNorCount)
{
    ASSERT_TRUE(backups.backUp(start).has_value());
    const QString folder = backups.folder();
    // A pipe in place of the state file, of a summary and of a backup.
    const QString summary = backups.list()[0].path + u".summary"_s;
    const QString fakeBackup = folder + u"/dbData-20260102-090000.mdb"_s;
    for (const QString& path : {folder + u"/last-ledger-state"_s, summary, fakeBackup}) {
        QFile::remove(path);
        ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    }
    EXPECT_EQ(backups.list().size(), 1) << "a pipe named like a backup is none";
    EXPECT_EQ(backups.summary(backups.list()[0]).entries, 2) << "read from the backup itself";
    addEntry(sampleEntry(u"More"_s, u"1"_s));
    EXPECT_TRUE(backups.backUp(start.addSecs(60)).has_value());
    EXPECT_TRUE(backups.newestGood().has_value());
}
