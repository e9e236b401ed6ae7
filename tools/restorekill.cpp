#include "restorekill.h"

#include "ledgercheck.h"
#include "ledgerwriter.h"
#include "store/connection.h"
#include "store/ledgerrestore.h"
#include "store/statements.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <random>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int maxDelayMs = 400;

QString ledgerOf(const QString& root)
{
    return root + u"/Marrowfen/Quorvane/dbData.mdb"_s;
}

// A ledger of `count` entries marked "<prefix>-<n>" under its own root; returns its notes.
QStringList makeBackup(const QString& root, const QString& prefix, int count)
{
    makeLedger(root);
    Connection conn;
    conn.open(connectionString(root));
    conn.beginBatch();
    for (int n = 0; n < count; ++n) {
        Entry e;
        e.date = QDate(2021, 1, 1).addDays(n % 365);
        e.reason = u"Restore test"_s;
        e.amountText = QString::number(n);
        e.notes = entryMarker(prefix, n);
        conn.execute(insertEntry(e));
    }
    conn.commitBatch();
    return checkLedger(root).notes;
}

} // namespace

int runRestoreLoop(const QString& ledger, const QString& first, const QString& second)
{
    try {
        for (bool started = false;; started = true) {
            restoreLedger(ledger, first);
            restoreLedger(ledger, second);
            if (!started) {
                // The parent times its kill from here.
                const char ready[] = "ready\n";
                if (::write(STDOUT_FILENO, ready, sizeof ready - 1) < 0)
                    return 2;
            }
        }
    } catch (const std::exception& e) {
        fprintf(stderr, "restore loop: %s\n", e.what());
        return 2;
    }
}

int runRestoreKillHarness(int runs, unsigned seed)
{
    QTemporaryDir live, firstRoot, secondRoot;
    makeLedger(live.path());
    // Sizes that differ, so a mix of the two would show in the pages as well as the rows.
    const QStringList first = makeBackup(firstRoot.path(), u"first"_s, 3000);
    const QStringList second = makeBackup(secondRoot.path(), u"second"_s, 7000);
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> delay(0, maxDelayMs * 1000);
    int kills = 0, firstSeen = 0, secondSeen = 0, failures = 0;
    QElapsedTimer clock;
    clock.start();

    for (int run = 1; run <= runs; ++run) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {u"restore-loop"_s, ledgerOf(live.path()),
                                                              ledgerOf(firstRoot.path()), ledgerOf(secondRoot.path())});
        if (!child.waitForReadyRead(60000)) {
            printf("run %d: the restoring child never got going: %s\n", run, child.readAllStandardError().constData());
            ++failures;
            break;
        }
        QThread::usleep(delay(random));
        child.kill();
        child.waitForFinished();
        ++kills;
        if (const QByteArray error = child.readAllStandardError(); !error.isEmpty()) {
            printf("run %d: the restoring child failed: %s", run, error.constData());
            ++failures;
        }
        const QString ledger = ledgerOf(live.path());
        const bool staleLog = QFile::exists(ledger + u"-wal"_s);
        const LedgerCheck check = checkLedger(live.path());
        // A journal the kill left is rolled back by that first opening; nothing changes after it.
        const bool settled = checkLedger(live.path()).notes == check.notes;
        if (staleLog || !settled) {
            printf("run %d: %s\n", run,
                   staleLog ? "a write-ahead log was left beside the ledger"
                            : "the ledger changed after its first opening");
            ++failures;
        } else if (!check.intact) {
            printf("run %d: integrity check failed: %s\n", run, qPrintable(check.problem));
            ++failures;
        } else if (check.notes == first) {
            ++firstSeen;
        } else if (check.notes == second) {
            ++secondSeen;
        } else {
            printf("run %d: the ledger holds %lld rows that are neither backup\n", run, qlonglong(check.rowCount));
            ++failures;
        }
    }
    printf("restore kill harness (seed %u): %d kills, the first backup found %d times, the second %d times, "
           "%d failures, %.1f s\n",
           seed, kills, firstSeen, secondSeen, failures, clock.elapsed() / 1000.0);
    return kills == runs && failures == 0 ? 0 : 1;
}
