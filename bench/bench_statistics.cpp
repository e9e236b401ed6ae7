// The Statistics window's figures at scale: opening it on every entry, and a change of period.
#include "benchledger.h"
#include "ledgergenerator.h"
#include "ledgerlist/ledgermodel.h"
#include "ledgerlist/ledgerstatistics.h"
#include "ui/main/form1.h"

#include <benchmark/benchmark.h>
#include <numeric>

namespace {

// Arg 0: the entries; arg 1: 0 for every entry, 1 for the last 12 months of the ledger; by month.
void BM_StatisticsFigures(benchmark::State& state)
{
    BenchHome home(int(state.range(0)));
    Form1 window;
    window.Form_Load();
    const LedgerModel& model = *window.ledgerModel();
    std::vector<int> rows(size_t(model.rowCount()));
    std::iota(rows.begin(), rows.end(), 0);
    StatisticsScope scope;
    if (state.range(1)) {
        const QDate latest = computeStatistics(model, rows, {}, Direction::PaidOut).steps.back().last;
        scope.from = latest.addYears(-1).addDays(1);
        scope.to = latest;
    }
    LedgerStatistics figures;
    for (auto _ : state)
        figures = computeStatistics(model, rows, scope, Direction::PaidOut);
    state.counters["steps"] = double(figures.steps.size());
    state.counters["entries"] = double(figures.entries);
    state.counters["peak_MiB"] = peakMemoryMiB();
}

} // namespace

BENCHMARK(BM_StatisticsFigures)
    ->ArgsProduct({{10000, 100000, 1000000}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);
