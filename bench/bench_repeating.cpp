// Repeating entries at start-up: the look for occurrences due, with 1 000 rules in a ledger of a
// million entries, every earlier occurrence dealt with (the usual start).
#include "base/clock.h"
#include "benchledger.h"
#include "ledgergenerator.h"
#include "repeating/repeatstore.h"
#include "startuploop.h"
#include "store/programconnection.h"
#include "ui/main/form1.h"

#include <benchmark/benchmark.h>

namespace {

const QDate benchToday(2024, 8, 31);

// `count` monthly rules begun two years before today, their occurrences so far skipped.
void addDealtWithRules(int count)
{
    const RepeatStore store(Conn());
    for (int i = 0; i < count; ++i) {
        RepeatRule rule;
        rule.entry.reason = QStringLiteral("Rule %1").arg(i);
        rule.entry.amountText = QStringLiteral("12.5");
        rule.entry.direction = i % 3 ? Direction::PaidOut : Direction::Received;
        rule.start = benchToday.addYears(-2).addDays(i % 28);
        rule.dayOfMonth = 1 + i % 31;
        store.add(rule);
    }
    store.skip(store.dueOccurrences(benchToday));
}

void BM_RepeatingDueCheck(benchmark::State& state)
{
    BenchHome home(int(state.range(0)));
    ScopedToday today(benchToday);
    openUserLedger();
    addDealtWithRules(int(state.range(1)));
    const RepeatStore store(Conn());
    for (auto _ : state)
        benchmark::DoNotOptimize(store.dueOccurrences(benchToday));
    state.counters["peak_MiB"] = peakMemoryMiB();
}

// The same ledger from the window's creation to its first paint with the due check run, to set
// against BM_StartupToShownWindow.
void BM_StartupWithRepeatingRules(benchmark::State& state)
{
    BenchHome home(int(state.range(0)));
    ScopedToday today(benchToday);
    openUserLedger();
    addDealtWithRules(int(state.range(1)));
    ConnSlot().reset();
    timeStartupToShownWindow(state, [](Form1& window) { window.offerDueEntries(); });
    state.counters["peak_MiB"] = peakMemoryMiB();
}

} // namespace

BENCHMARK(BM_RepeatingDueCheck)->Args({1000000, 1000})->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_StartupWithRepeatingRules)->Args({1000000, 1000})->Unit(benchmark::kMillisecond)->Iterations(3);
