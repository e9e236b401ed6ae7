// Find and sort at scale: one keystroke in the find bar, and a click on a column header.
#include "benchledger.h"
#include "ledgergenerator.h"
#include "ledgerlist/ledgerview.h"
#include "ui/main/form1.h"

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

LedgerFilter withText(const QString& text)
{
    LedgerFilter filter;
    filter.text = text;
    return filter;
}

// The first letter typed: every entry is searched. Arg 1 picks an accented letter, which every
// text must be folded for.
void BM_FindFirstKeystroke(benchmark::State& state)
{
    BenchHome home(int(state.range(0)));
    Form1 window;
    window.Form_Load();
    LedgerView& view = *window.ledgerView();
    const QString letter = state.range(1) ? u"ü"_s : u"g"_s;
    for (auto _ : state) {
        view.setFilter(withText(letter));
        state.PauseTiming();
        view.setFilter({});
        state.ResumeTiming();
    }
    state.counters["shown"] = double(view.shownTotals().entries);
    state.counters["peak_MiB"] = peakMemoryMiB();
}

// A further letter: only what the bar shows already is searched again.
void BM_FindNextKeystroke(benchmark::State& state)
{
    BenchHome home(int(state.range(0)));
    Form1 window;
    window.Form_Load();
    LedgerView& view = *window.ledgerView();
    for (auto _ : state) {
        state.PauseTiming();
        view.setFilter(withText(u"gu"_s));
        state.ResumeTiming();
        view.setFilter(withText(u"gui"_s));
    }
    state.counters["shown"] = double(view.shownTotals().entries);
    state.counters["peak_MiB"] = peakMemoryMiB();
}

// A header click: arg 1 is the column (2 Amount, 1 Date, 3 Reason, 7 Notes).
void BM_SortByColumn(benchmark::State& state)
{
    BenchHome home(int(state.range(0)));
    Form1 window;
    window.Form_Load();
    LedgerView& view = *window.ledgerView();
    Qt::SortOrder order = Qt::AscendingOrder;
    for (auto _ : state) {
        view.sort(int(state.range(1)), order);
        order = order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    }
    state.counters["peak_MiB"] = peakMemoryMiB();
}

} // namespace

BENCHMARK(BM_FindFirstKeystroke)->Args({1000000, 0})->Args({1000000, 1})->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_FindNextKeystroke)->Args({1000000})->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_SortByColumn)
    ->Args({1000000, 2})
    ->Args({1000000, 1})
    ->Args({1000000, 3})
    ->Args({1000000, 7})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
