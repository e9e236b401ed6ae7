// The safety net at scale: a verified backup of the ledger, start-up with the background check and
// backup switched on, a restore, and one undo of a delete.
#include "benchledger.h"
#include "ledgergenerator.h"
#include "store/backups.h"
#include "ui/backups/safetynet.h"
#include "ui/main/form1.h"
#include "ui/main/ledgerhistory.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

// Copy, full integrity check, count and totals of the copy: what every backup costs.
void BM_VerifiedBackup(benchmark::State& state)
{
    BenchHome home(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        // A folder of its own each time, so the backup is never skipped as unchanged.
        QTemporaryDir folder;
        LedgerBackups backups(home.ledgerPath(), folder.path() + u"/backups"_s);
        state.ResumeTiming();
        benchmark::DoNotOptimize(backups.backUp(QDateTime(QDate(2026, 1, 1), QTime(9, 0))));
    }
    state.counters["peak_MiB"] = peakMemoryMiB();
}

// From creating the main window to its first paint, with the safety net started right after it
// shows, as the program does; the background check and backup are timed on their own.
void BM_StartupWithSafetyNet(benchmark::State& state)
{
    BenchHome home(int(state.range(0)));
    double backgroundMs = 0;
    for (auto _ : state) {
        QElapsedTimer background;
        {
            Form1 window;
            window.Form_Load();
            window.show();
            window.startSafetyNet();
            background.start();
            benchmark::DoNotOptimize(QTest::qWaitForWindowExposed(&window));
            QApplication::processEvents();
            state.PauseTiming();
            window.safetyNet()->waitUntilIdle();
            backgroundMs = double(background.elapsed());
            // The next start finds an unchanged ledger: make it back up again, as after a day's work.
            QDir(backupsFolderOf(home.ledgerPath())).removeRecursively();
            window.close();
        }
        state.ResumeTiming();
    }
    state.counters["check_and_backup_ms"] = backgroundMs;
    state.counters["peak_MiB"] = peakMemoryMiB();
}

// quorvane --restore of a backup: the backup read and checked, a clean ledger made of its entries
// and checked, the ledger backed up, then the clean one put in its place.
void BM_RestoreBackup(benchmark::State& state)
{
    BenchHome home(int(state.range(0)));
    QTemporaryDir folder;
    const QString handedOver = folder.path() + u"/handed-over.mdb"_s;
    copyLedger(home.ledgerPath(), handedOver);
    for (auto _ : state) {
        state.PauseTiming();
        // A folder of its own each time, so the ledger is backed up every time, as after a day's work.
        QTemporaryDir backupsFolder;
        LedgerBackups backups(home.ledgerPath(), backupsFolder.path() + u"/backups"_s);
        state.ResumeTiming();
        benchmark::DoNotOptimize(backups.restore(handedOver, QDateTime(QDate(2026, 1, 1), QTime(9, 0))));
    }
    state.counters["peak_MiB"] = peakMemoryMiB();
}

// Delete Selected, then its undo: one transaction and a full refill.
void BM_UndoDelete(benchmark::State& state)
{
    BenchHome home(int(state.range(0)));
    Form1 window;
    window.Form_Load();
    auto* deleteButton = window.findChild<QPushButton*>(u"PushButton3"_s);
    for (auto _ : state) {
        state.PauseTiming();
        window.listView()->selectRow(500);
        deleteButton->click();
        state.ResumeTiming();
        window.history()->undoAction()->trigger();
    }
    state.counters["peak_MiB"] = peakMemoryMiB();
    window.close();
}

} // namespace

BENCHMARK(BM_VerifiedBackup)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_StartupWithSafetyNet)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RestoreBackup)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_UndoDelete)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);
