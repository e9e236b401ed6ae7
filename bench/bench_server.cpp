// A ledger on a PostgreSQL server of this machine, reached through its Unix socket: the list's
// refill and one command's round trip, beside the same figures for the ledger file.
#include "benchledger.h"
#include "benchserver.h"
#include "ledgergenerator.h"
#include "ledgerlist/ledgermodel.h"
#include "settings/settings.h"
#include "startuploop.h"
#include "store/backups.h"
#include "store/ledgerentries.h"
#include "store/programconnection.h"
#include "store/serverbackup.h"
#include "ui/main/form1.h"

#include <QCoreApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

void BM_ServerListData(benchmark::State& state)
{
    BenchHome home(1);
    Form1 window;
    openServerLedgerIn(window, int(state.range(0)));
    for (auto _ : state)
        window.ListData();
    state.counters["rows"] = window.ledgerModel()->rowCount();
    state.counters["peak_MiB"] = peakMemoryMiB();
    window.close();
}

// From creating the main window to its first paint, the setting naming the server's ledger.
void BM_ServerStartupToShownWindow(benchmark::State& state)
{
    const QString ledger = serverLedger(int(state.range(0)));
    BenchHome home(1);
    SaveSetting(u"LedgerLocation"_s, ledger);
    timeStartupToShownWindow(state);
    state.counters["peak_MiB"] = peakMemoryMiB();
}

Entry benchEntry()
{
    return {0,          QDate(2026, 12, 9), u"Rent"_s, u"Marrowfen"_s,    u"O'Neil"_s,
            u"12.50"_s, u"Cash"_s,          {},        Direction::PaidOut};
}

// One entry read by its id and one added, each its own statement and round trip.
void BM_ServerCommand(benchmark::State& state)
{
    const QString ledger = serverLedger(int(state.range(0)));
    BenchHome home(1);
    ConnSlot() = std::make_unique<Connection>();
    Conn().open(ledger);
    const LedgerEntries entries(Conn());
    qint64 id = 1;
    for (auto _ : state) {
        EntryRows rows;
        entries.readOne(rows, QString::number(id));
        benchmark::DoNotOptimize(rows.atEnd());
        rows.close();
        entries.add(benchEntry());
        id = id % state.range(0) + 7919;
    }
    state.SetItemsProcessed(state.iterations() * 2);
    ConnSlot().reset();
}

// An automatic backup of a server ledger: the check whether it changed, then the copy into a file.
void BM_ServerBackup(benchmark::State& state)
{
    const QString ledger = serverLedger(int(state.range(0)));
    for (auto _ : state) {
        QTemporaryDir folder;
        LedgerBackups backups(serverLedgerToBackUp(ledger, folder.path()), folder.path());
        benchmark::DoNotOptimize(backups.backUp(QDateTime::currentDateTime()));
    }
    state.counters["peak_MiB"] = peakMemoryMiB();
}

// The check alone, as an unchanged ledger costs it at every start.
void BM_ServerBackupUnchanged(benchmark::State& state)
{
    const QString ledger = serverLedger(int(state.range(0)));
    QTemporaryDir folder;
    LedgerBackups backups(serverLedgerToBackUp(ledger, folder.path()), folder.path());
    backups.backUp(QDateTime::currentDateTime());
    for (auto _ : state)
        benchmark::DoNotOptimize(backups.backUp(QDateTime::currentDateTime()));
}

// Five programs at once on one server ledger of `count` entries, each giving 2000 random commands
// (adds, checked edits, deletes), as the crash harness plays them; the figure is commands per second.
void BM_SharedLedgerFiveClients(benchmark::State& state)
{
    const QString ledger = serverLedger(int(state.range(0)));
    double perSecond = 0;
    for (auto _ : state) {
        QProcess harness;
        harness.start(QCoreApplication::applicationDirPath() + u"/quorvane_crash_harness"_s,
                      {u"share"_s, ledger, u"5"_s, u"2000"_s, u"0"_s});
        harness.waitForFinished(-1);
        const QString out = QString::fromUtf8(harness.readAllStandardOutput());
        const QRegularExpressionMatch figure = QRegularExpression(u"([0-9]+) commands/s; .*nothing lost"_s).match(out);
        if (harness.exitCode() != 0 || !figure.hasMatch()) {
            // Kept past the return: the library may hold on to the text.
            static std::string why;
            why = out.toStdString();
            state.SkipWithError(why.c_str());
            return;
        }
        perSecond = figure.captured(1).toDouble();
    }
    state.counters["commands_per_s"] = perSecond;
}

} // namespace

BENCHMARK(BM_ServerListData)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_ServerStartupToShownWindow)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ServerCommand)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ServerBackup)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_ServerBackupUnchanged)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SharedLedgerFiveClients)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
