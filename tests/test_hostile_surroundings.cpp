// Broken or hostile surroundings: each ends in a clear report, no crash, and the user's files untouched.
#include "base/paths.h"
#include "ledgerlist/ledgermodel.h"
#include "settings/settings.h"
#include "store/programconnection.h"
#include "store/recordset.h"
#include "support/ledgerfixture.h"
#include "support/scriptedprompter.h"
#include "ui/main/form1.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <sys/mount.h>

using namespace Qt::StringLiterals;

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A real ledger holding two entries, as bytes.
QByteArray filledLedger()
{
    openFreshLedger();
    for (int i = 0; i < 40; ++i)
        addEntry(sampleEntry(u"entry "_s + QString::number(i), u"5"_s));
    ConnSlot().reset();
    const QByteArray bytes = readFile(databaseFile());
    QFile::remove(databaseFile());
    return bytes;
}

// Starts the main window on the ledger bytes given; returns the reports it showed.
QStringList startOn(const QByteArray& ledger)
{
    writeFile(databaseFile(), ledger);
    ScriptedPrompter boxes;
    Form1 window;
    window.Form_Load();
    window.close();
    return boxes.errorReports();
}

// A small tmpfs as the data folder (root only); empty when this machine does not allow mounting.
class ScopedTmpfs
{
public:
    explicit ScopedTmpfs(const QString& where, const char* size) : where_(where)
    {
        QDir().mkpath(where);
        const QByteArray options = QByteArray("size=") + size + ",mode=0700";
        mounted_ = ::mount("tmpfs", QFile::encodeName(where).constData(), "tmpfs", 0, options.constData()) == 0;
    }
    ~ScopedTmpfs()
    {
        if (mounted_)
            ::umount2(QFile::encodeName(where_).constData(), MNT_DETACH);
    }
    bool mounted() const { return mounted_; }
    bool makeReadOnly()
    {
        return ::mount("tmpfs", QFile::encodeName(where_).constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }

private:
    QString where_;
    bool mounted_ = false;
};

} // namespace

TEST(HostileLedger, BrokenFilesAreReportedAndLeftAsTheyWere)
{
    const QByteArray good = filledLedger();
    QByteArray random(8192, '\0');
    QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(random.data()), random.size() / 4);

    struct Case
    {
        const char* name;
        QByteArray bytes;
        const char* expected;
    } cases[] = {
        {"empty file", QByteArray(), "no such table: tblData"},
        {"truncated", good.left(good.size() / 2), "database disk image is malformed"},
        {"random bytes", random, "file is not a database"},
    };
    for (const Case& c : cases) {
        const QStringList reports = startOn(c.bytes);
        ASSERT_FALSE(reports.isEmpty()) << c.name;
        EXPECT_NE(reports.join(u"\n").indexOf(QString::fromLatin1(c.expected)), -1)
            << c.name << ": " << reports.join(u"\n").toStdString();
        EXPECT_LE(reports.size(), 2) << c.name;
        EXPECT_EQ(readFile(databaseFile()), c.bytes) << c.name;
    }
}

TEST(HostileLedger, ALedgerWithoutItsTableIsReported)
{
    QTemporaryDir dir;
    const QString other = dir.path() + u"/other.db"_s;
    QProcess::execute(u"sqlite3"_s, {other, u"create table unrelated(x); insert into unrelated values (1);"_s});
    const QByteArray bytes = readFile(other);
    ASSERT_FALSE(bytes.isEmpty());
    const QStringList reports = startOn(bytes);
    ASSERT_EQ(reports.size(), 1);
    EXPECT_NE(reports[0].indexOf(u"no such table: tblData\r\nin Quorvane2021/08/31.Form1.ListData at line 104"), -1);
    EXPECT_EQ(readFile(databaseFile()), bytes);
}

TEST(HostileLedger, ATemplateThatIsNoDatabaseIsNotCopied)
{
    QTemporaryDir program;
    writeFile(program.path() + u"/dbBlank.mdb"_s, "this is not a ledger");
    ScopedProgramFolder folder(program.path());
    ScriptedPrompter boxes;
    Form1 window;
    window.Form_Load();
    ASSERT_GE(boxes.errorReports().size(), 2);
    EXPECT_NE(boxes.errorReports()[0].indexOf(u"is not a ledger database.\r\nin Quorvane2021/08/31.Form1.Form_Load "
                                              "at line 110"),
              -1);
    EXPECT_FALSE(QFile::exists(databaseFile()));
}

TEST(HostileLedger, ALedgerLockedLongerThanTheBusyWaitIsReportedAtOpen)
{
    const QByteArray good = filledLedger();
    writeFile(databaseFile(), good);
    QProcess holder;
    holder.start(u"sqlite3"_s, {databaseFile()});
    ASSERT_TRUE(holder.waitForStarted());
    holder.write("BEGIN EXCLUSIVE; DELETE FROM tblReport; SELECT 'locked';\n");
    ASSERT_TRUE(holder.waitForReadyRead(5000));

    ScriptedPrompter boxes;
    {
        Form1 window;
        window.Form_Load();
        window.close();
    }
    holder.write("ROLLBACK;\n.quit\n");
    holder.closeWriteChannel();
    holder.waitForFinished();
    ASSERT_FALSE(boxes.errorReports().isEmpty());
    EXPECT_NE(
        boxes.errorReports()[0].indexOf(u"database is locked\r\nin Quorvane2021/08/31.Form1.Form_Load at line 142"), -1)
        << boxes.errorReports()[0].toStdString();
    EXPECT_EQ(readFile(databaseFile()), good);
}

TEST(HostileLedger, AnOlderWiderFolderAndLedgerAreMadePrivate)
{
    openFreshLedger();
    ConnSlot().reset();
    QFile::setPermissions(dataFolder(), QFileDevice::Permissions(0x7775));
    QFile::setPermissions(databaseFile(), QFileDevice::Permissions(0x6664));
    Form1 window;
    window.Form_Load();
    EXPECT_EQ(fileMode(dataFolder()), 0700u);
    EXPECT_EQ(fileMode(databaseFile()), 0600u);
}

TEST(HostileSettings, DamagedOrUnreadableSettingsAreReportedAndNeverWrittenOver)
{
    QSettings probe(u"Marrowfen"_s, u"Quorvane"_s);
    const QString file = probe.fileName();
    QByteArray garbage(3000, '\0');
    QRandomGenerator(3).fillRange(reinterpret_cast<quint32*>(garbage.data()), garbage.size() / 4);
    writeFile(file, garbage);
    EXPECT_THROW(GetSetting(u"CurrencySymbol"_s, QString()), std::runtime_error);
    EXPECT_THROW(SaveSetting(u"CurrencySymbol"_s, u"€"_s), std::runtime_error);
    EXPECT_EQ(readFile(file), garbage);

    ScriptedPrompter boxes;
    {
        Form1 window;
        window.Form_Load();
        window.close();
    }
    ASSERT_EQ(boxes.errorReports().size(), 1);
    EXPECT_NE(boxes.errorReports()[0].indexOf(u"is damaged; it was left as it is.\r\nin Quorvane2021/08/31.Form1."
                                              "Form_Load at line 180"),
              -1);
    EXPECT_EQ(readFile(file), garbage);

    // A settings "file" that is a folder cannot be read at all.
    QFile::remove(file);
    QDir().mkpath(file);
    EXPECT_THROW(GetSetting(u"Combo1"_s, QString()), std::runtime_error);
    EXPECT_THROW(SaveSetting(u"Combo1"_s, u"x"_s), std::runtime_error);
    EXPECT_TRUE(QFileInfo(file).isDir());
}

TEST(HostileDisk, AFullDiskRefusesTheSaveAndKeepsTheLedger)
{
    ScopedTmpfs tmpfs(dataFolder(), "256k");
    if (!tmpfs.mounted())
        GTEST_SKIP() << "this machine does not allow mounting a tmpfs (needs root)";
    openFreshLedger();
    addEntry(sampleEntry(u"before"_s, u"1"_s));
    // Fill what is left of the disk.
    {
        QFile filler(dataFolder() + u"/filler"_s);
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
    }
    const QByteArray before = readFile(databaseFile());
    Entry big = sampleEntry(u"after"_s, u"2"_s);
    big.notes = QString(200000, u'n');
    try {
        addEntry(big);
        FAIL() << "a save on a full disk reported success";
    } catch (const std::exception& e) {
        EXPECT_NE(QString::fromUtf8(e.what()).indexOf(u"full"), -1) << e.what();
    }
    ConnSlot().reset();
    EXPECT_EQ(readFile(databaseFile()), before);
}

TEST(HostileDisk, AReadOnlyDataFolderRefusesTheSaveAndKeepsTheLedger)
{
    ScopedTmpfs tmpfs(dataFolder(), "4m");
    if (!tmpfs.mounted())
        GTEST_SKIP() << "this machine does not allow mounting a tmpfs (needs root)";
    openFreshLedger();
    addEntry(sampleEntry(u"before"_s, u"1"_s));
    ConnSlot().reset();
    const QByteArray before = readFile(databaseFile());
    ASSERT_TRUE(tmpfs.makeReadOnly());

    ScriptedPrompter boxes;
    Form1 window;
    window.Form_Load();
    EXPECT_TRUE(boxes.errorReports().isEmpty()) << boxes.errorReports().join(u"\n").toStdString();
    EXPECT_EQ(window.ledgerModel()->rowCount(), 1);
    EXPECT_THROW(addEntry(sampleEntry(u"after"_s, u"2"_s)), std::exception);
    window.close();
    EXPECT_EQ(readFile(databaseFile()), before);
}
