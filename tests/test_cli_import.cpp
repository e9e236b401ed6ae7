// quorvane --import as a script runs it: the real program in another process, beside this test's open
// connection to the same ledger (as a window would hold it), checked against the ledger's rows.
#include "store/programconnection.h"
#include "support/importsamples.h"
#include "support/ledgerfixture.h"
#include "support/printers.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

struct Outcome
{
    int exitCode = -1; // -1 for a crash too
    QString out, err;
};

// The program in an American region, which only a file that reads either way asks for.
Outcome quorvane(const QStringList& arguments)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"LC_ALL"_s, u"en_US.UTF-8"_s);
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QCoreApplication::applicationDirPath() + u"/quorvane"_s, arguments);
    if (!process.waitForFinished(30000))
        process.kill();
    process.waitForFinished();
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

QByteArray sha256(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
                                          : QByteArray();
}

class CliImport : public testing::Test
{
protected:
    QString writeFile(const QString& name, const QByteArray& bytes)
    {
        QFile file(folder.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        return file.fileName();
    }

    QTemporaryDir folder;
    const QString ledger = openFreshLedger();
};

TEST_F(CliImport, TheSampleStatementsAddTheEntriesTheWindowWould)
{
    for (const auto& [file, entries] : sampleStatements()) {
        Conn().execute(u"delete from tblData"_s);
        const Outcome run = quorvane({u"--import"_s, sampleStatementPath(file)});
        EXPECT_EQ(run.out, u"Added %1 entries.\n"_s.arg(entries.size())) << run.err.toStdString();
        EXPECT_EQ(ledgerRows(), entries) << file.toStdString();
    }
}

// Rows the ledger holds are skipped, rows repeated in the file all added, unreadable ones listed by
// their line, one line each whatever their text holds.
TEST_F(CliImport, ADryRunChangesNothingAndTellsWhatTheImportThenDoes)
{
    addEntry(sampleEntry(u"Gig"_s, u"100"_s));
    const QStringList before = ledgerRows();
    const QString path = writeFile(u"mixed.csv"_s, "Date,Amount,Reason,From,To\n"
                                                   "2021-03-05,100.00,Gig,Marrowfen,Tobren\n"
                                                   "2021-03-06,-4.50,Coffee,,Roastery\n"
                                                   "2021-03-06,-4.50,Coffee,,Roastery\n"
                                                   "2021-03-07,\"1\n2\",Split,,\n"
                                                   "2021-02-30,7,No such day,,\n");
    const QString told = u"Would add 2 entries.\nWould skip 1 entry the ledger holds already.\nCould not read 2 rows:\n"
                         "  line 5: Unreadable amount \"1 2\"\n  line 7: Unreadable date \"2021-02-30\"\n"_s;
    const QByteArray hash = sha256(ledger);
    EXPECT_EQ(quorvane({u"--import"_s, path, u"--dry-run"_s}).out, told);
    EXPECT_EQ(sha256(ledger), hash);

    const Outcome run = quorvane({u"--import"_s, path});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QString(told).replace(u"Would add"_s, u"Added"_s).replace(u"Would skip"_s, u"Skipped"_s));
    const QString coffee = u"2021-03-06|4.50|out|Coffee||Roastery||"_s;
    EXPECT_EQ(ledgerRows(), before + QStringList({coffee, coffee}));

    // Before the first start there is no ledger: the dry run makes none.
    ASSERT_TRUE(QFile::remove(ledger));
    EXPECT_TRUE(quorvane({u"--import"_s, path, u"--dry-run"_s}).out.startsWith(u"Would add 3 entries."_s));
    EXPECT_FALSE(QFile::exists(ledger));
}

TEST_F(CliImport, DatesThatReadEitherWayAreRefusedUntilTheOrderIsGiven)
{
    const QString path = sampleStatementPath(u"english_slashes_ambiguous.csv"_s);
    const Outcome refused = quorvane({u"--import"_s, path});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.err, u"Nothing was imported from '%1': its dates read either way round, and only your region "
                           "would choose the order MDY. Pass --date-order DMY|MDY|YMD.\n"_s.arg(path));
    EXPECT_TRUE(ledgerRows().isEmpty());

    // The other order than the region's.
    EXPECT_EQ(quorvane({u"--import"_s, path, u"--date-order"_s, u"dmy"_s}).exitCode, 0);
    EXPECT_EQ(ledgerRows(),
              (QStringList{u"2026-03-02|1250.00|in|Opening deposit||||"_s,
                           u"2026-03-05|12.40|out|Card payment Corner Shop||||"_s,
                           u"2026-03-06|86.15|out|Electricity||||"_s, u"2026-03-11|20.00|in|Refund||||"_s}));
}

// Each is refused whole, with one line on standard error; a NUL deep in a text makes its row unreadable.
TEST_F(CliImport, HostileAndForeignFilesNeverCrashItNorImportPartly)
{
    addEntry(sampleEntry(u"Kept"_s, u"1"_s));
    const QString dir = folder.filePath(u"folder.csv"_s), fifo = folder.filePath(u"pipe.csv"_s);
    ASSERT_TRUE(QDir().mkdir(dir));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString notAFile = u"The file '%1' cannot be read: it is a folder, a device or a pipe, not a file."_s;
    const QString missing = folder.filePath(u"missing.csv"_s), cut = writeFile(u"cut.xlsx"_s, "PK\3\4 and no more");
    const struct
    {
        QString path, says; // on standard error after "Nothing was imported from 'path': "
        QStringList options{};
    } cases[] = {
        {dir, notAFile.arg(dir)},
        {fifo, notAFile.arg(fifo)},
        {missing, u"The file '%1' cannot be read: there is no such file."_s.arg(missing)},
        {writeFile(u"binary.csv"_s, "\x7f\0ELF\1"_ba.repeated(500)), u"The file is not a text file."_s},
        {cut, u"The file '%1' is not an Excel workbook (.xlsx)."_s.arg(cut)},
        {writeFile(u"letter.txt"_s, "Dear customer,\nyour statement follows.\n"), u"no column holds dates."_s},
        {writeFile(u"marks.csv"_s, "03/04/2024;1.234;Rent\n05/06/2024;2.500;Rent\n"),
         u"its amounts read with a decimal point as well as a decimal comma, and only your region would choose the "
         "point. Import it in the window, where the mark can be chosen."_s,
         {u"--date-order"_s, u"DMY"_s}},
    };
    const QByteArray hash = sha256(ledger);
    for (const auto& [path, says, options] : cases) {
        const Outcome run = quorvane(QStringList{u"--import"_s, path} + options);
        EXPECT_EQ(run.exitCode, 1) << path.toStdString();
        EXPECT_EQ(run.err, u"Nothing was imported from '%1': %2\n"_s.arg(path, says));
        EXPECT_EQ(run.out, u""_s);
        EXPECT_EQ(sha256(ledger), hash) << path.toStdString();
    }

    QByteArray deepNul = "Date,Amount,Notes\n";
    for (int i = 1; i <= 600; ++i) // past the first 8 KB, where a NUL makes the file binary
        deepNul += "2024-01-01," + QByteArray::number(i) + ",\n";
    const Outcome nul = quorvane({u"--import"_s, writeFile(u"nul.csv"_s, deepNul + "2024-02-01,9,a\0b\n"_ba)});
    EXPECT_EQ(nul.out, u"Added 600 entries.\nCould not read 1 row:\n  line 602: Control character U+0000 in Notes\n"_s);
}

TEST_F(CliImport, ALedgerThatRefusesOneEntryTakesNone)
{
    addEntry(sampleEntry(u"Kept"_s, u"1"_s));
    const QStringList before = ledgerRows();
    ASSERT_EQ(QProcess::execute(u"sqlite3"_s, {ledger, u"create trigger no before insert on tblData when new.reason = "
                                                       "'Last' begin select raise(abort, 'refused'); end;"_s}),
              0);
    const QString path = writeFile(u"three.csv"_s, "Date,Amount,Reason\n2024-01-01,1,First\n2024-01-02,2,Second\n"
                                                   "2024-01-03,3,Last\n");
    const Outcome run = quorvane({u"--import"_s, path});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, u"Nothing was imported from '%1': refused\n"_s.arg(path));
    EXPECT_EQ(ledgerRows(), before);
}

TEST_F(CliImport, MisusedOptionsAreRefusedWithTheUsage)
{
    const QString file = writeFile(u"good.csv"_s, "Date,Amount\n2024-01-01,5\n");
    for (const QStringList& arguments : QList<QStringList>{{u"--import"_s},
                                                           {u"--import="_s},
                                                           {u"--dry-run"_s},
                                                           {u"--date-order"_s, u"DMY"_s},
                                                           {u"--import"_s, file, u"--date-order"_s, u"DYM"_s},
                                                           {u"--import"_s, file, u"--import"_s, file},
                                                           {u"--import"_s, file, u"other.csv"_s}}) {
        const Outcome run = quorvane(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments.join(u' ').toStdString();
        EXPECT_TRUE(run.err.contains(u"Usage:"_s) && run.out.isEmpty()) << run.err.toStdString();
    }
    EXPECT_TRUE(ledgerRows().isEmpty());
}

} // namespace
