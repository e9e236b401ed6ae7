// The commands for scripts, timed as a script runs them: the program started afresh each time,
// from its start to its exit, output thrown away.
#include "benchledger.h"

#include <QCoreApplication>
#include <QProcess>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

using namespace Qt::StringLiterals;

namespace {

// The largest resident size any finished child process reached, in MiB.
double childrenPeakMiB()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return double(usage.ru_maxrss) / 1024;
}

void runCommand(benchmark::State& state, const QStringList& arguments)
{
    BenchHome home(int(state.range(0)));
    for (auto _ : state) {
        QProcess quorvane;
        quorvane.setStandardOutputFile(QProcess::nullDevice());
        quorvane.start(QCoreApplication::applicationDirPath() + u"/quorvane"_s, arguments);
        if (!quorvane.waitForFinished(120000) || quorvane.exitCode() != 0) {
            state.SkipWithError("the command failed");
            return;
        }
    }
    state.counters["peak_MiB"] = childrenPeakMiB();
}

void BM_CommandTotals(benchmark::State& state)
{
    runCommand(state, {u"--totals"_s});
}

void BM_CommandListCsv(benchmark::State& state)
{
    runCommand(state, {u"--list"_s, u"--csv"_s});
}

} // namespace

BENCHMARK(BM_CommandTotals)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_CommandListCsv)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);
