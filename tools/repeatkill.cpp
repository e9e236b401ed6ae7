#include "repeatkill.h"

#include "ledgercheck.h"
#include "repeating/repeatstore.h"
#include "store/connection.h"
#include "store/recordset.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <random>

using namespace Qt::StringLiterals;

namespace {

constexpr int maxDelayMs = 60;
constexpr size_t postBatch = 25;

// One daily rule from `start`; from 1800 no run of the kill harness reaches its end.
void addDailyRule(const QString& dataRoot, QDate start = QDate(1800, 1, 1))
{
    Connection conn;
    conn.open(connectionString(dataRoot));
    RepeatRule rule;
    rule.entry.reason = u"Crash test 'repeat'"_s;
    rule.entry.fromCompany = u"Marrowfen"_s;
    rule.entry.toCompany = u"Tobren"_s;
    rule.entry.amountText = u"12.5"_s;
    rule.unit = RepeatUnit::Days;
    rule.start = start;
    RepeatStore(conn).add(rule);
}

// What fails the ledger's promises, each as a count that must be 0.
constexpr std::pair<const char*, const char*> faults[] = {
    {"records without their entry",
     "select count(*) from tblRepeatPosted where entryid is null or entryid not in (select id from tblData)"},
    {"entries without their record",
     "select count(*) from tblData where id not in (select entryid from tblRepeatPosted where entryid is not null)"},
    {"occurrences in the ledger twice", "select count(*) - count(distinct datercvd) from tblData"},
    {"entries recorded twice", "select count(entryid) - count(distinct entryid) from tblRepeatPosted"},
};

// The faults found, as "what: count" texts, after the ledger's integrity check.
QStringList faultsIn(const QString& dataRoot)
{
    const LedgerCheck check = checkLedger(dataRoot);
    if (!check.intact)
        return {u"integrity check: "_s + check.problem};
    QStringList found;
    Connection conn;
    conn.open(connectionString(dataRoot));
    for (const auto& [what, sql] : faults) {
        Recordset rs;
        rs.open(QString::fromLatin1(sql), conn);
        if (const qint64 count = rs.intValue(0))
            found.append(QString::fromLatin1(what) + u": "_s + QString::number(count));
    }
    return found;
}

qint64 entryCount(const QString& dataRoot)
{
    return checkLedger(dataRoot).rowCount;
}

} // namespace

int runRepeatPoster(const QString& dataRoot)
{
    try {
        Connection conn;
        conn.open(connectionString(dataRoot));
        const RepeatStore store(conn);
        const std::vector<Occurrence> due = store.dueOccurrences(QDate(2200, 1, 1));
        printf("ready\n");
        fflush(stdout);
        for (size_t from = 0; from < due.size(); from += postBatch) {
            const auto end = due.begin() + qsizetype(std::min(due.size(), from + postBatch));
            printf("posted %lld\n", qlonglong(store.post({due.begin() + qsizetype(from), end}).size()));
            fflush(stdout);
        }
        return 0;
    } catch (const std::exception& e) {
        fprintf(stderr, "repeat poster: %s\n", e.what());
        return 2;
    }
}

int runRepeatTwinHarness(int rounds)
{
    // A year and a day of occurrences, up to the posters' "today" in 2200.
    const QDate start(2199, 1, 1);
    const qint64 occurrences = start.daysTo(QDate(2200, 1, 1)) + 1;
    QElapsedTimer clock;
    clock.start();
    int failedRounds = 0;
    for (int round = 1; round <= rounds; ++round) {
        QTemporaryDir root;
        makeLedger(root.path());
        addDailyRule(root.path(), start);
        QProcess posters[2];
        for (QProcess& poster : posters)
            poster.start(QCoreApplication::applicationFilePath(), {u"repeat-post"_s, root.path()});
        QStringList problems;
        for (QProcess& poster : posters) {
            if (!poster.waitForFinished(120000) || poster.exitCode() != 0)
                problems.append(u"a poster failed: "_s + QString::fromUtf8(poster.readAllStandardError()));
        }
        problems += faultsIn(root.path());
        if (const qint64 entries = entryCount(root.path()); entries != occurrences)
            problems.append(u"%1 entries for %2 occurrences"_s.arg(entries).arg(occurrences));
        if (!problems.isEmpty()) {
            printf("round %d: %s\n", round, qPrintable(problems.join(u"; ")));
            ++failedRounds;
        }
    }
    printf("repeat twin harness: %d rounds of two posters started at once, %d failed, %.1f s\n", rounds, failedRounds,
           clock.elapsed() / 1000.0);
    return failedRounds == 0 ? 0 : 1;
}

int runRepeatKillHarness(int runs, unsigned seed)
{
    QTemporaryDir root;
    makeLedger(root.path());
    addDailyRule(root.path());
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> delay(0, maxDelayMs * 1000);
    QElapsedTimer clock;
    clock.start();
    int kills = 0, failedRuns = 0;
    for (int run = 1; run <= runs; ++run) {
        QProcess poster;
        poster.start(QCoreApplication::applicationFilePath(), {u"repeat-post"_s, root.path()});
        if (!poster.waitForReadyRead(60000)) {
            printf("run %d: the poster never opened the ledger: %s\n", run, poster.readAllStandardError().constData());
            ++failedRuns;
            break;
        }
        QThread::usleep(delay(random));
        poster.kill();
        poster.waitForFinished();
        ++kills;
        if (const QByteArray error = poster.readAllStandardError(); !error.isEmpty()) {
            printf("run %d: the poster failed before the kill: %s", run, error.constData());
            ++failedRuns;
        }
        if (const QStringList found = faultsIn(root.path()); !found.isEmpty()) {
            printf("run %d: %s\n", run, qPrintable(found.join(u"; ")));
            ++failedRuns;
        }
    }
    printf("repeat kill harness (seed %u): %d kills while posting, %d failed runs, %lld entries posted, %.1f s\n", seed,
           kills, failedRuns, qlonglong(entryCount(root.path())), clock.elapsed() / 1000.0);
    return kills == runs && failedRuns == 0 ? 0 : 1;
}
