// The ledger list: a full refill, start-up to a shown window, and a plain scan to compare with.
#include "benchledger.h"
#include "ledgergenerator.h"
#include "ledgerlist/ledgermodel.h"
#include "money/moneyformat.h"
#include "startuploop.h"
#include "store/programconnection.h"
#include "ui/main/form1.h"

#include <QApplication>
#include <QTest>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

// The floor: SQLite stepping through every row and column of the ledger, keeping nothing.
void BM_PlainScan(benchmark::State& state)
{
    BenchHome home(int(state.range(0)));
    sqlite3* db = nullptr;
    sqlite3_open_v2(home.ledgerPath().toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    for (auto _ : state) {
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, "select * from tblData", -1, &stmt, nullptr);
        qint64 bytes = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW)
            for (int c = 0; c < 9; ++c)
                bytes += sqlite3_column_bytes(stmt, c);
        sqlite3_finalize(stmt);
        benchmark::DoNotOptimize(bytes);
    }
    sqlite3_close(db);
    state.counters["peak_MiB"] = peakMemoryMiB();
}

void BM_ListData(benchmark::State& state)
{
    BenchHome home(int(state.range(0)));
    Form1 window;
    window.Form_Load();
    for (auto _ : state)
        window.ListData();
    state.counters["rows"] = window.ledgerModel()->rowCount();
    state.counters["peak_MiB"] = peakMemoryMiB();
    window.close();
}

// From creating the main window to its first paint with the rows and totals.
void BM_StartupToShownWindow(benchmark::State& state)
{
    BenchHome home(int(state.range(0)));
    timeStartupToShownWindow(state);
    state.counters["peak_MiB"] = peakMemoryMiB();
}

} // namespace

BENCHMARK(BM_PlainScan)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_ListData)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_StartupToShownWindow)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);
