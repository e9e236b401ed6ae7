// The statistics window at scale: from the command to the window with every chart drawn, and a
// change of period while it is open.
#include "base/clock.h"
#include "benchledger.h"
#include "ledgergenerator.h"
#include "ui/main/form1.h"
#include "ui/statistics/statisticswindow.h"

#include <QApplication>
#include <QComboBox>
#include <QTest>
#include <benchmark/benchmark.h>

namespace {

// The generated ledger ends in 2024: "the last 12 months" are then its last year, as a user's
// would be.
const QDate ledgerToday(2024, 8, 31);

void BM_StatisticsCommandToWindow(benchmark::State& state)
{
    BenchHome home(int(state.range(0)));
    ScopedToday today(ledgerToday);
    Form1 window;
    window.Form_Load();
    window.show();
    for (auto _ : state) {
        window.showStatistics();
        benchmark::DoNotOptimize(QTest::qWaitForWindowExposed(window.statisticsWindow()));
        QApplication::processEvents();
        state.PauseTiming();
        window.statisticsWindow()->close();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["peak_MiB"] = peakMemoryMiB();
}

// From Last 12 months to All entries, figures and charts shown.
void BM_StatisticsPeriodChange(benchmark::State& state)
{
    BenchHome home(int(state.range(0)));
    ScopedToday today(ledgerToday);
    Form1 window;
    window.Form_Load();
    window.showStatistics();
    auto* period = window.statisticsWindow()->findChild<QComboBox*>(QStringLiteral("StatisticsPeriod"));
    for (auto _ : state) {
        period->setCurrentIndex(5);
        QApplication::processEvents();
        state.PauseTiming();
        period->setCurrentIndex(4);
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["peak_MiB"] = peakMemoryMiB();
}

} // namespace

BENCHMARK(BM_StatisticsCommandToWindow)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(BM_StatisticsPeriodChange)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(5);
