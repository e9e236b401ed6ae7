// Start-up and shutdown of the main window on a fresh or an existing user folder.
#include "base/paths.h"
#include "ledgerlist/ledgermodel.h"
#include "store/programconnection.h"
#include "store/recordset.h"
#include "support/ledgerfixture.h"
#include "support/scriptedprompter.h"
#include "ui/backups/safetynet.h"
#include "ui/main/form1.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTableView>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QByteArray fileHash(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

QStringList tableNames()
{
    Recordset rs;
    rs.open(u"select name from sqlite_master where type='table' and name like 'tbl%' order by name"_s, Conn());
    QStringList names;
    for (; !rs.eof(); rs.moveNext())
        names.append(rs.field(u"name").toString());
    return names;
}

int reportStep(const QString& report)
{
    const qsizetype at = report.indexOf(u"at line ");
    return at < 0 ? -1 : report.mid(at + 8, report.indexOf(u'\r', at) - at - 8).toInt();
}

} // namespace

TEST(Startup, FirstStartMakesThePrivateDataFolderAndCopiesTheTemplate)
{
    ScriptedPrompter boxes;
    Form1 window;
    window.Form_Load();
    EXPECT_TRUE(boxes.messages.isEmpty()) << boxes.texts().join(u"\n").toStdString();
    EXPECT_TRUE(QFileInfo(vendorFolder()).isDir());
    EXPECT_EQ(fileMode(dataFolder()), 0700u);
    EXPECT_EQ(fileMode(databaseFile()), 0600u);
    EXPECT_EQ(Conn().state(), 1);
    EXPECT_EQ(tableNames(), (QStringList{u"tblData"_s, u"tblRepeat"_s, u"tblRepeatPosted"_s, u"tblReport"_s}));
    EXPECT_EQ(window.windowTitle(), u"Quorvane");

    const QStringList titles = {u"ID"_s, u"Date"_s,   u"Amount"_s, u"Reason"_s, u"From"_s,
                                u"To"_s, u"Method"_s, u"Notes"_s,  u"In/Out"_s};
    const int widths[] = {400, 1200, 1200, 1200, 1500, 1500, 1000, 2200, 1000};
    ASSERT_EQ(window.ledgerModel()->columnCount(), 9);
    for (int c = 0; c < 9; ++c) {
        EXPECT_EQ(window.ledgerModel()->columnTitle(c), titles[c]);
        if (c == 0) // the tick box takes room of its own beside the id
            EXPECT_GT(window.listView()->columnWidth(c), widths[c] / 15);
        else
            EXPECT_EQ(window.listView()->columnWidth(c), widths[c] / 15);
    }
}

TEST(Startup, SecondStartLeavesTheLedgerUntouched)
{
    {
        Form1 first;
        first.Form_Load();
        addEntry(sampleEntry(u"kept"_s, u"5"_s));
        first.close();
    }
    const QByteArray before = fileHash(databaseFile());
    ScriptedPrompter boxes;
    Form1 second;
    second.Form_Load();
    EXPECT_TRUE(boxes.messages.isEmpty());
    EXPECT_EQ(second.ledgerModel()->rowCount(), 1);
    second.close();
    EXPECT_EQ(fileHash(databaseFile()), before);
}

TEST(Startup, AnExistingFileIsNeverReplacedWhateverItHolds)
{
    QDir().mkpath(dataFolder());
    QFile junk(databaseFile());
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a ledger at all");
    junk.close();
    const QByteArray before = fileHash(databaseFile());
    ScriptedPrompter boxes;
    Form1 window;
    window.Form_Load();
    ASSERT_FALSE(boxes.errorReports().isEmpty());
    EXPECT_EQ(reportStep(boxes.errorReports()[0]), 142);
    EXPECT_EQ(fileHash(databaseFile()), before);
}

TEST(Startup, MissingTemplateReportsTheCopyAndTheOpenAndTheWindowStillOpens)
{
    QTemporaryDir emptyProgramFolder;
    ScopedProgramFolder program(emptyProgramFolder.path());
    ScriptedPrompter boxes;
    Form1 window;
    window.Form_Load();
    const QStringList reports = boxes.errorReports();
    ASSERT_GE(reports.size(), 2);
    EXPECT_EQ(reports[0], u"The template ledger '"_s + emptyProgramFolder.path() +
                              u"/dbBlank.mdb' was not found.\r\nin Quorvane2021/08/31.Form1.Form_Load at line 110\r\r"_s
                              "Please email screenshot of this message to support@marrowfen.example"_s);
    EXPECT_EQ(reports[1], u"Could not find file '"_s + databaseFile() +
                              u"'.\r\nin Quorvane2021/08/31.Form1.Form_Load at line 142\r\r"_s
                              "Please email screenshot of this message to support@marrowfen.example"_s);
    EXPECT_FALSE(QFile::exists(databaseFile()));
    // The list refill then meets a closed connection and says so once.
    ASSERT_EQ(reports.size(), 3);
    EXPECT_NE(reports[2].indexOf(u"Form1.ListData at line 104"), -1);
    window.show();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.ledgerModel()->columnCount(), 9);
}

TEST(Startup, PlainFileNamedLikeTheDataFolderCountsAsPresent)
{
    QDir().mkpath(vendorFolder());
    QFile blocker(dataFolder());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    ScriptedPrompter boxes;
    Form1 window;
    window.Form_Load();
    QList<int> steps;
    for (const QString& report : boxes.errorReports())
        steps.append(reportStep(report));
    ASSERT_GE(steps.size(), 2);
    EXPECT_EQ(steps[0], 110);
    EXPECT_EQ(steps[1], 142);
    EXPECT_TRUE(QFileInfo(dataFolder()).isFile());
}

TEST(Shutdown, ClosingTheWindowClosesAndReleasesTheConnection)
{
    ScriptedPrompter boxes;
    Form1 window;
    window.Form_Load();
    ASSERT_TRUE(ConnSlot());
    window.close();
    EXPECT_FALSE(ConnSlot());
    EXPECT_TRUE(boxes.messages.isEmpty());
}

TEST(Shutdown, ConnectionNeverCreatedGivesTwoReportsAndStillEnds)
{
    Form1 window;
    window.Form_Load();
    ConnSlot().reset();
    ScriptedPrompter boxes;
    window.close();
    const QStringList reports = boxes.errorReports();
    ASSERT_EQ(reports.size(), 2);
    for (const QString& report : reports)
        EXPECT_NE(report.indexOf(u"Form1.Form_QueryUnload at line 100\r\r"), -1);
    EXPECT_FALSE(window.isVisible());
}

TEST(Startup, ANewAccountWithoutADataHomeStartsCleanly)
{
    const QString home = qEnvironmentVariable("XDG_DATA_HOME") + u"/not/yet/made"_s;
    qputenv("XDG_DATA_HOME", home.toUtf8());
    ScriptedPrompter boxes;
    Form1 window;
    window.Form_Load();
    EXPECT_TRUE(boxes.messages.isEmpty()) << boxes.texts().join(u"\n").toStdString();
    EXPECT_TRUE(QFile::exists(home + u"/Marrowfen/Quorvane/dbData.mdb"_s));
    EXPECT_EQ(fileMode(home), 0700u);
}

// Without a ledger file there is nothing to call damaged: the start-up's own reports are all the
// user sees, also once the background check and backup have had their turn.
TEST(Startup, WithoutALedgerFileOnlyTheStartUpsOwnReportsAppear)
{
    struct Case
    {
        const char* name;
        std::function<void()> arrange;
        QList<int> steps; // of Form_Load, then ListData's
    };
    const auto plainFile = [](const QString& path) {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    };
    const Case cases[] = {
        {"template missing", [] {}, {110, 142, 104}},
        {"data folder cannot be made", [&] { plainFile(vendorFolder()); }, {106, 110, 142, 104}},
        {"plain file as the data folder", [&] { plainFile(dataFolder()); }, {110, 142, 104}},
    };
    for (const Case& c : cases) {
        QDir(SpecialFolderPath(35)).removeRecursively();
        QTemporaryDir programFolder;
        // Only the first case goes without a template.
        if (QByteArray(c.name) != "template missing")
            QFile::copy(templateLedgerPath(), programFolder.path() + u"/dbBlank.mdb"_s);
        ScopedProgramFolder program(programFolder.path());
        c.arrange();
        ScriptedPrompter boxes;
        {
            Form1 window;
            window.Form_Load();
            window.show();
            window.startSafetyNet();
            window.safetyNet()->waitUntilIdle();
            QList<int> steps;
            for (const QString& report : boxes.errorReports())
                steps.append(reportStep(report));
            EXPECT_EQ(steps, c.steps) << c.name;
            EXPECT_EQ(boxes.messages.size(), c.steps.size())
                << c.name << ": " << boxes.texts().join(u"\n").toStdString();
            window.close();
        }
        ConnSlot().reset();
    }
}
