#include "sharedledger.h"

#include "store/connection.h"
#include "store/ledgerentries.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHash>
#include <QProcess>
#include <QSet>
#include <QThread>
#include <cstdio>
#include <memory>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr int victimCommands = 1'000'000;
constexpr int victimReportsBeforeKill = 200;
constexpr int finishTimeoutMs = 900'000;

// What the clients' reports say happened.
struct Reports
{
    QHash<qint64, QString> added;                 // id: the reason it was added with
    QHash<qint64, QHash<QString, QString>> edits; // id: from the reason it was read with, to the new one
    QSet<qint64> deleted;
    int accepted = 0;
    int refused = 0;
    QString fault;
};

void readReport(const QString& line, Reports& reports)
{
    // An entry's reason before an edit may hold spaces when the ledger had it before the run; the
    // clients' own reasons never do.
    const QStringList word = line.split(u' ');
    if (word[0] == u"refused") {
        ++reports.refused;
        return;
    }
    ++reports.accepted;
    const qint64 id = word.value(1).toLongLong();
    if (word[0] == u"add" && word.size() == 3) {
        if (reports.added.contains(id))
            reports.fault = u"id %1 was given to two added entries"_s.arg(id);
        reports.added.insert(id, word[2]);
    } else if (word[0] == u"edit" && word.size() >= 4) {
        const QString from = word.mid(2, word.size() - 3).join(u' ');
        if (reports.edits[id].contains(from))
            reports.fault =
                u"two edits of entry %1 were both accepted from the state %2: one was lost"_s.arg(id).arg(from);
        reports.edits[id].insert(from, word.last());
    } else if (word[0] == u"delete" && word.size() == 2) {
        reports.deleted.insert(id);
    } else {
        reports.fault = u"a report that cannot be read: "_s + line;
    }
}

// Where the accepted edits of one entry lead from its add; empty when they do not form one chain.
QString endOfChain(const QString& start, const QHash<QString, QString>& edits)
{
    QString state = start;
    for (qsizetype step = 0; step < edits.size(); ++step) {
        const auto next = edits.constFind(state);
        if (next == edits.cend())
            return {};
        state = *next;
    }
    return state;
}

// The ledger's entries: id and reason.
QHash<qint64, QString> ledgerEntries(const QString& ledger)
{
    Connection connection;
    connection.open(ledger);
    const LedgerEntries entries(connection);
    QHash<qint64, QString> reasons;
    EntryRows rows;
    for (entries.readAll(rows); !rows.atEnd(); rows.next())
        reasons.insert(rows.id(), rows.text(EntryField::Reason));
    return reasons;
}

// The faults of the ledger against the reports. The killed client's command in flight may have
// left one add, one edit or one delete that no report tells of.
QString checkLedger(const Reports& reports, const QHash<qint64, QString>& ledger, const QString& victim)
{
    int unreported = 0;
    const auto allowUnreported = [&](const QString& what) {
        return !victim.isEmpty() && ++unreported == 1 ? QString() : what;
    };
    for (auto entry = ledger.cbegin(); entry != ledger.cend(); ++entry) {
        const qint64 id = entry.key();
        if (reports.deleted.contains(id))
            return u"entry %1 was deleted and is still there"_s.arg(id);
        if (!reports.added.contains(id)) {
            if (!entry.value().startsWith(victim + u'-'))
                return u"entry %1 (%2) was added by no command"_s.arg(id).arg(entry.value());
            if (const QString fault = allowUnreported(u"two entries of the killed client are unreported"_s);
                !fault.isEmpty())
                return fault;
            continue;
        }
        const QString end = endOfChain(reports.added[id], reports.edits.value(id));
        if (end.isEmpty())
            return u"the accepted edits of entry %1 do not follow one another"_s.arg(id);
        if (entry.value() != end) {
            if (!entry.value().startsWith(victim + u'-'))
                return u"entry %1 reads %2 where its accepted edits end at %3"_s.arg(id).arg(entry.value(), end);
            if (const QString fault = allowUnreported(u"two edits of the killed client are unreported"_s);
                !fault.isEmpty())
                return fault;
        }
    }
    for (auto added = reports.added.cbegin(); added != reports.added.cend(); ++added) {
        if (!ledger.contains(added.key()) && !reports.deleted.contains(added.key())) {
            if (const QString fault = allowUnreported(u"entry %1 (%2) was lost"_s.arg(added.key()).arg(added.value()));
                !fault.isEmpty())
                return fault;
        }
    }
    return {};
}

void startClient(QProcess& process, const QString& ledger, const QString& name, int seed, int commands)
{
    process.setProgram(QCoreApplication::applicationFilePath());
    process.setArguments({u"client"_s, ledger, name, QString::number(seed), QString::number(commands)});
    process.start();
}

QStringList linesOf(QProcess& process)
{
    return QString::fromUtf8(process.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

} // namespace

int runSharedLedgerHarness(const QString& ledger, int clients, int commands, bool killOne)
{
    // What the ledger held before stands as added by nobody in particular.
    Reports reports;
    reports.added = ledgerEntries(ledger);
    QElapsedTimer clock;
    clock.start();
    std::vector<std::unique_ptr<QProcess>> processes;
    for (int c = 0; c < clients; ++c) {
        processes.push_back(std::make_unique<QProcess>());
        startClient(*processes.back(), ledger, u"c"_s + QString::number(c + 1), c + 1, commands);
    }
    const QString victim = killOne ? u"victim"_s : QString();
    if (killOne) {
        QProcess process;
        startClient(process, ledger, victim, clients + 1, victimCommands);
        QByteArray heard;
        while (heard.count('\n') < victimReportsBeforeKill && process.waitForReadyRead(finishTimeoutMs))
            heard += process.readAllStandardOutput();
        process.kill();
        process.waitForFinished();
        heard += process.readAllStandardOutput();
        // A line cut short by the kill was never a whole report.
        const QStringList lines =
            QString::fromUtf8(heard.left(heard.lastIndexOf('\n') + 1)).split(u'\n', Qt::SkipEmptyParts);
        for (const QString& line : lines)
            readReport(line, reports);
        printf("victim: killed after %lld reports\n", qlonglong(lines.size()));
    }
    bool clean = true;
    for (int c = 0; c < clients; ++c) {
        QProcess& process = *processes[size_t(c)];
        const bool finished = process.waitForFinished(finishTimeoutMs);
        const QStringList lines = linesOf(process);
        const QByteArray errors = process.readAllStandardError().trimmed();
        const bool ok = finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0 &&
                        lines.size() == commands && errors.isEmpty();
        printf("client %d: %s, %lld of %d commands reported%s%s\n", c + 1, ok ? "ok" : "FAILED",
               qlonglong(lines.size()), commands, errors.isEmpty() ? "" : ", stderr: ", errors.constData());
        clean = clean && ok;
        for (const QString& line : lines)
            readReport(line, reports);
    }
    const double seconds = double(clock.elapsed()) / 1000.0;
    const QString fault =
        !reports.fault.isEmpty() ? reports.fault : checkLedger(reports, ledgerEntries(ledger), victim);
    printf("%d clients x %d commands in %.2f s: %.0f commands/s; accepted %d, refused %d; %s\n", clients, commands,
           seconds, double(clients * commands) / seconds, reports.accepted, reports.refused,
           fault.isEmpty() ? "nothing lost" : qPrintable(u"FAULT: "_s + fault));
    return clean && fault.isEmpty() ? 0 : 1;
}
