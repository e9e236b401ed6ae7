#include "killrun.h"

#include "ledgercheck.h"
#include "ledgerwriter.h"
#include "writerprocess.h"

#include <QElapsedTimer>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <random>

using namespace Qt::StringLiterals;

namespace {

// Long enough for the writer to be anywhere in its first few dozen saves, so kills land before,
// inside and between transactions.
constexpr int maxDelayMs = 120;
constexpr int writerEntries = 1000000;

struct Totals
{
    int kills = 0;
    int killsAfterSaves = 0;
    qsizetype saved = 0;
    qsizetype lost = 0;
    qsizetype unreported = 0;
    int failedChecks = 0;
    int writerErrors = 0;
};

} // namespace

int runKillHarness(int runs, unsigned seed)
{
    QTemporaryDir root;
    makeLedger(root.path());
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> delay(0, maxDelayMs * 1000);
    Totals totals;
    QElapsedTimer clock;
    clock.start();

    for (int run = 1; run <= runs; ++run) {
        const QString prefix = u"run"_s + QString::number(run);
        QProcess writer;
        startWriter(writer, root.path(), prefix, writerEntries);
        if (!writer.waitForReadyRead(30000)) {
            printf("run %d: the writer never opened the ledger: %s\n", run, writer.readAllStandardError().constData());
            ++totals.failedChecks;
            break;
        }
        QThread::usleep(delay(random));
        writer.kill();
        writer.waitForFinished();
        ++totals.kills;

        const QStringList markers = readWriterReport(writer).markers;
        const LedgerCheck check = checkLedger(root.path());
        const QSet<QString> stored(check.notes.cbegin(), check.notes.cend());
        if (!check.intact) {
            ++totals.failedChecks;
            printf("run %d: integrity check failed: %s\n", run, qPrintable(check.problem));
        }
        qsizetype lostHere = 0;
        for (const QString& marker : markers)
            lostHere += stored.contains(marker) ? 0 : 1;
        // A row whose save had not yet returned may or may not be there; only one can be in flight.
        const bool inFlight = stored.contains(entryMarker(prefix, int(markers.size())));
        totals.saved += markers.size();
        totals.lost += lostHere;
        totals.unreported += inFlight ? 1 : 0;
        totals.killsAfterSaves += markers.isEmpty() ? 0 : 1;
        if (lostHere)
            printf("run %d: %lld of %lld saved entries missing\n", run, qlonglong(lostHere), qlonglong(markers.size()));
        if (const QByteArray error = writer.readAllStandardError(); !error.isEmpty()) {
            ++totals.writerErrors;
            printf("run %d: the writer failed before the kill: %s", run, error.constData());
        }
    }

    const LedgerCheck last = checkLedger(root.path());
    const bool extraRows = last.rowCount != totals.saved + totals.unreported;
    printf("kill harness (seed %u): %d kills (%d after at least one save), %lld saved entries reported, "
           "%lld lost, %lld rows whose save was cut short but committed, %d failed integrity checks, "
           "%d writer errors, %lld rows in the ledger, %.1f s\n",
           seed, totals.kills, totals.killsAfterSaves, qlonglong(totals.saved), qlonglong(totals.lost),
           qlonglong(totals.unreported), totals.failedChecks, totals.writerErrors, qlonglong(last.rowCount),
           clock.elapsed() / 1000.0);
    if (extraRows)
        printf("the ledger holds rows no writer wrote\n");
    const bool clean = totals.lost == 0 && totals.failedChecks == 0 && totals.writerErrors == 0 && !extraRows;
    return totals.kills == runs && clean ? 0 : 1;
}
