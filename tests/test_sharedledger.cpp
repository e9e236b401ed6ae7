// Programs sharing one server ledger at once, as the crash harness plays them: random adds, checked
// edits and deletes from several processes, one of them killed midway; nothing accepted is lost and
// no edit overwrites another.
#include "support/ledgerkinds.h"
#include "support/postgresserver.h"

#include <QCoreApplication>
#include <QProcess>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

struct HarnessRun
{
    int exitCode = -1;
    QString out;
};

HarnessRun runHarness(const QStringList& arguments)
{
    QProcess harness;
    harness.setProgram(QCoreApplication::applicationDirPath() + u"/quorvane_crash_harness"_s);
    harness.setArguments(arguments);
    harness.setProcessChannelMode(QProcess::MergedChannels);
    harness.start();
    harness.waitForFinished(900'000);
    return {harness.exitStatus() == QProcess::NormalExit ? harness.exitCode() : -1,
            QString::fromUtf8(harness.readAll())};
}

} // namespace

TEST(SharedLedger, FiveClientsAndOneKilledLoseNothingAndOverwriteNoEdit)
{
    const QString ledger = testServer().connectionString(PostgresServer::Role::Writer, newServerDatabase());
    const HarnessRun run = runHarness({u"share"_s, ledger, u"5"_s, u"2000"_s, u"1"_s});
    EXPECT_EQ(run.exitCode, 0) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(u"5 clients x 2000 commands"_s)) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(u"nothing lost"_s)) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(u"victim: killed after"_s)) << run.out.toStdString();
}
