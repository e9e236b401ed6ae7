// Another program changes an office ledger on the server: how long until this program's list
// shows it, counted from the other program's commit.
#include "benchledger.h"
#include "benchserver.h"
#include "ledgerlist/ledgermodel.h"
#include "store/connection.h"
#include "ui/main/form1.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <benchmark/benchmark.h>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

constexpr int notesColumn = LedgerModel::firstTextColumn + 4;
constexpr qint64 patienceNs = 10'000'000'000;

void BM_LiveFollow(benchmark::State& state)
{
    const int count = int(state.range(0));
    BenchHome home(1);
    Form1 window;
    openServerLedgerIn(window, count);
    window.ListData();
    Connection other;
    other.open(serverLedger(count));
    const qint64 id = window.ledgerModel()->id(count / 2);
    const auto readNotes = other.engine().prepare("select notes from tbldata where id = ?");
    readNotes->bindInt(1, id);
    readNotes->next();
    const std::optional<QString> notes =
        readNotes->kind(0) == ColumnKind::Null ? std::nullopt : std::optional(QString::fromUtf8(readNotes->utf8(0)));
    readNotes->reset();
    const auto setNotes = other.engine().prepare("update tbldata set notes = ? where id = ?");
    const auto otherWrites = [&](const QString& text) {
        setNotes->bindText(1, text);
        setNotes->bindInt(2, id);
        setNotes->run();
    };
    int changes = 0;
    for (auto _ : state) {
        const QString mark = u"followed %1"_s.arg(++changes);
        // Committed when it returns: a statement outside a batch is a transaction of its own.
        otherWrites(mark);
        QElapsedTimer since;
        since.start();
        while (window.ledgerModel()->text(window.ledgerModel()->rowOfId(id), notesColumn) != mark) {
            if (since.nsecsElapsed() > patienceNs) {
                state.SkipWithError("the list did not follow the other program's change");
                break;
            }
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        state.SetIterationTime(double(since.nsecsElapsed()) / 1e9);
    }
    // The other benchmarks find the ledger as it was.
    if (notes) {
        otherWrites(*notes);
    } else {
        const auto clear = other.engine().prepare("update tbldata set notes = NULL where id = ?");
        clear->bindInt(1, id);
        clear->run();
    }
    state.counters["rows"] = window.ledgerModel()->rowCount();
    window.close();
}

} // namespace

BENCHMARK(BM_LiveFollow)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
