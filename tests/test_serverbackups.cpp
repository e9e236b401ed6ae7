// Backups of a ledger on a server: ledger files of today's format taken from one moment of it, and
// restores that replace its contents whole or not at all.
#include "store/backups.h"
#include "store/ledgercopy.h"
#include "store/programconnection.h"
#include "store/serverbackup.h"
#include "store/storeerror.h"
#include "support/ledgerfixture.h"
#include "support/ledgerkinds.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QDateTime start(QDate(2026, 1, 1), QTime(9, 0));

class ServerBackups : public testing::Test
{
protected:
    void SetUp() override
    {
        addEntry(sampleEntry(u"Gig"_s, u"100"_s));
        addEntry(sampleEntry(u"O'Neil's rent"_s, u"40.5"_s, Direction::PaidOut));
    }

    QString ledger_ = openFreshLedger(LedgerKind::Server);
    QTemporaryDir folder_;
    LedgerBackups backups_{serverLedgerToBackUp(ledger_, folder_.path()), folder_.path()};
};

} // namespace

TEST_F(ServerBackups, ABackupIsALedgerFileHoldingWhatTheServerHolds)
{
    const std::optional<BackupFile> backup = backups_.backUp(start);
    ASSERT_TRUE(backup);
    EXPECT_EQ(ledgerDamage(backup->path), QString());
    const LedgerSummary kept = summarizeLedger(backup->path);
    EXPECT_EQ(kept.entries, 2);
    EXPECT_EQ(kept.received, 100);
    EXPECT_EQ(kept.paid, 40.5);
    EXPECT_EQ(backups_.summary(*backup).entries, 2);
}

TEST_F(ServerBackups, AnUnchangedLedgerIsNotBackedUpAgainAndAnEditedOneIs)
{
    ASSERT_TRUE(backups_.backUp(start));
    EXPECT_FALSE(backups_.backUp(start.addSecs(60)));
    Conn().execute(u"update tblData set notes = 'seen' where reason = 'Gig'"_s);
    EXPECT_TRUE(backups_.backUp(start.addSecs(120))) << "an edit that keeps the count and sums is still a change";
}

TEST_F(ServerBackups, ARestoreReplacesTheEntriesAfterBackingUpTheLedgerAsItWas)
{
    const BackupFile backup = *backups_.backUp(start);
    addEntry(sampleEntry(u"after the backup"_s, u"7"_s));
    const BackupFile previous = backups_.restore(backup.path, start.addSecs(60));

    EXPECT_EQ(tallyLedger(Conn()).entries, 2);
    EXPECT_EQ(summarizeLedger(previous.path).entries, 3) << "the ledger as it was is kept";
    addEntry(sampleEntry(u"next"_s, u"1"_s));
    EXPECT_EQ(newestId(), u"4"_s) << "the id given after the backup is not given again";
}

TEST_F(ServerBackups, ARestoreFromAFileThatIsNoLedgerLeavesTheServerAsItWas)
{
    const QString notALedger = folder_.filePath(u"notes.txt"_s);
    QFile file(notALedger);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a ledger");
    file.close();
    try {
        backups_.restore(notALedger, start);
        ADD_FAILURE() << "a text file was restored";
    } catch (const RestoreFailed& failure) {
        EXPECT_TRUE(failure.ledgerUnchanged);
    }
    EXPECT_EQ(tallyLedger(Conn()).entries, 2);
}
