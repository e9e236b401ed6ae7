// Paths of the ledger and the application title.
#include "base/apptitle.h"
#include "base/failure.h"
#include "base/paths.h"
#include "support/ledgerfixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(AppTitle, CutsWordsFromTheEndUntilItFits)
{
    EXPECT_EQ(appTitleFrom(u"Quorvane"_s), u"Quorvane");
    EXPECT_EQ(appTitleFrom(u"Quorvane Ledger Deluxe"_s), u"Quorvane Ledger");
    const QString sixty = u"Alpha Bravo Charlie Delta Echo Foxtrot Golf Hotel India Juli"_s;
    ASSERT_EQ(sixty.size(), 60);
    EXPECT_EQ(appTitleFrom(sixty), u"Alpha Bravo Charlie Delta Echo Foxtrot");
    SetAppTitle();
    EXPECT_EQ(appTitle(), u"Quorvane");
}

TEST(Paths, DataFolderLiesUnderTheUsersDataHome)
{
    const QString home = qEnvironmentVariable("XDG_DATA_HOME");
    EXPECT_EQ(SpecialFolderPath(35), home);
    EXPECT_EQ(SpecialFolderPath(26), u"");
    EXPECT_EQ(vendorFolder(), home + u"/Marrowfen"_s);
    EXPECT_EQ(dataFolder(), home + u"/Marrowfen/Quorvane"_s);
    EXPECT_EQ(databaseFile(), home + u"/Marrowfen/Quorvane/dbData.mdb"_s);
    ScopedProgramFolder program(u"/opt/q"_s);
    EXPECT_EQ(templateDatabase(), u"/opt/q/dbBlank.mdb");
    EXPECT_EQ(handCursorFile(), u"/opt/q/HAND-M.CUR");
    EXPECT_EQ(skinFile(), u"/opt/q/x/o.cjs");
}

TEST(Paths, FileExistsNeverThrows)
{
    QTemporaryDir dir;
    EXPECT_TRUE(FileExists(dir.path()));
    EXPECT_FALSE(FileExists(dir.path() + u"/none"_s));
    EXPECT_FALSE(FileExists(QString()));
    EXPECT_FALSE(FileExists(u"\0bad"_s));
}

TEST(Paths, FoldersArePrivateAndTheCopyNeverReplaces)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + u"/f"_s;
    makeFolder(folder);
    EXPECT_EQ(fileMode(folder), 0700u);
    EXPECT_THROW(makeFolder(folder), Failure);
    // Missing folders above are made too, just as private.
    makeFolder(dir.path() + u"/new/data/home"_s);
    EXPECT_EQ(fileMode(dir.path() + u"/new"_s), 0700u);
    EXPECT_EQ(fileMode(dir.path() + u"/new/data/home"_s), 0700u);

    const QString source = dir.path() + u"/blank"_s;
    QFile blank(source);
    ASSERT_TRUE(blank.open(QIODevice::WriteOnly));
    blank.write(QByteArray("SQLite format 3\0 and the rest", 30));
    blank.close();
    const QString target = folder + u"/ledger"_s;
    copyLedgerTemplate(source, target);
    EXPECT_EQ(fileMode(target), 0600u);

    QFile ledger(target);
    ASSERT_TRUE(ledger.open(QIODevice::WriteOnly));
    ledger.write("user data");
    ledger.close();
    EXPECT_THROW(copyLedgerTemplate(source, target), Failure);
    ASSERT_TRUE(ledger.open(QIODevice::ReadOnly));
    EXPECT_EQ(ledger.readAll(), "user data");
    EXPECT_THROW(copyLedgerTemplate(dir.path() + u"/missing"_s, folder + u"/other"_s), Failure);
}
