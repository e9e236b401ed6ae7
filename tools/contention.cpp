#include "contention.h"

#include "ledgercheck.h"
#include "ledgerwriter.h"
#include "writerprocess.h"

#include <QElapsedTimer>
#include <QSet>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

QStringView writerOf(QStringView marker)
{
    return marker.first(marker.indexOf(u'-'));
}

} // namespace

int runContentionHarness(int writers, int entries)
{
    QTemporaryDir root;
    makeLedger(root.path());
    QElapsedTimer clock;
    clock.start();

    std::vector<std::unique_ptr<QProcess>> processes;
    for (int w = 0; w < writers; ++w) {
        processes.push_back(std::make_unique<QProcess>());
        startWriter(*processes.back(), root.path(), u"writer"_s + QString::number(w + 1), entries);
    }

    bool clean = true;
    qsizetype reported = 0;
    qint64 longestSaveMs = -1;
    QSet<QString> markers;
    for (int w = 0; w < writers; ++w) {
        QProcess& p = *processes[size_t(w)];
        const bool finished = p.waitForFinished(600000);
        const WriterReport report = readWriterReport(p);
        const QStringList& saved = report.markers;
        longestSaveMs = std::max(longestSaveMs, report.longestSaveMs);
        const QByteArray errors = p.readAllStandardError();
        const bool ok = finished && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0 &&
                        saved.size() == entries && errors.isEmpty();
        printf("writer %d: %s, %lld saves reported, exit code %d%s%s\n", w + 1, ok ? "ok" : "FAILED",
               qlonglong(saved.size()), p.exitCode(),
               errors.isEmpty() ? "" : ", stderr: ", errors.trimmed().constData());
        clean = clean && ok;
        reported += saved.size();
        for (const QString& m : saved)
            markers.insert(m);
    }

    const LedgerCheck check = checkLedger(root.path());
    const QSet<QString> stored(check.notes.cbegin(), check.notes.cend());
    qsizetype missing = 0;
    for (const QString& m : std::as_const(markers))
        missing += stored.contains(m) ? 0 : 1;
    // How often, in id order, the next row came from another writer: the saves really interleaved.
    qsizetype switches = 0;
    for (qsizetype i = 1; i < check.notes.size(); ++i)
        switches += writerOf(check.notes[i]) != writerOf(check.notes[i - 1]) ? 1 : 0;
    const qsizetype expected = qsizetype(writers) * entries;
    printf("contention harness: %d writers x %d entries, %lld saves reported, %lld rows in the ledger "
           "(expected %lld), %lld reported saves missing, %lld switches between writers, longest save %lld ms, "
           "integrity %s, %.1f s\n",
           writers, entries, qlonglong(reported), qlonglong(check.rowCount), qlonglong(expected), qlonglong(missing),
           qlonglong(switches), qlonglong(longestSaveMs), check.intact ? "ok" : qPrintable(check.problem),
           clock.elapsed() / 1000.0);
    return clean && check.intact && missing == 0 && check.rowCount == expected ? 0 : 1;
}
