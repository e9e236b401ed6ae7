// Importing a bank statement of 100 000 rows: from choosing the file to the preview on screen,
// and from pressing Import to the list refilled with the new entries (one undo step).
#include "benchledger.h"
#include "ledgergenerator.h"
#include "store/entryimport.h"
#include "store/programconnection.h"
#include "ui/importing/importdialog.h"
#include "ui/main/form1.h"
#include "ui/main/ledgerhistory.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

// A statement as a German bank writes it: semicolons, day-first dates, decimal commas, quoted texts.
class StatementFile
{
public:
    explicit StatementFile(int rows)
    {
        QFile file(path());
        file.open(QIODevice::WriteOnly);
        QByteArray text = "Buchungstag;Valuta;Auftraggeber/Empfänger;Verwendungszweck;Betrag;Währung\n";
        const char* const payees[] = {"Stadtwerke Köln", "Bäckerei Müller", "\"Schmidt; Partner\"", "Gehalt GmbH"};
        for (int i = 0; i < rows; ++i) {
            const QDate day = QDate(2020, 1, 1).addDays(i % 1500);
            const QByteArray date = day.toString(u"dd.MM.yyyy"_s).toLatin1();
            const int cents = (i * 7919) % 500000 - 200000;
            text += date + ';' + date + ';' + payees[i % 4] + ";Rechnung " + QByteArray::number(i) + ';' +
                    QByteArray::number(cents / 100) + ',' + QByteArray::number(std::abs(cents % 100) + 100).mid(1) +
                    ";EUR\n";
        }
        file.write(text);
    }
    QString path() const { return folder_.filePath(u"statement.csv"_s); }

private:
    QTemporaryDir folder_;
};

void BM_ImportPreview(benchmark::State& state)
{
    BenchHome home(int(state.range(1)));
    openUserLedger();
    const StatementFile statement(int(state.range(0)));
    for (auto _ : state) {
        ImportDialog dialog(statement.path(), nullptr);
        dialog.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(dialog.chosenEntries().size());
    }
    state.counters["peak_MiB"] = peakMemoryMiB();
    ConnSlot().reset();
}

// A long statement of three columns, as an account's export of several years: about 35 bytes a row.
class ShortStatementFile
{
public:
    explicit ShortStatementFile(int rows)
    {
        QFile file(path());
        file.open(QIODevice::WriteOnly);
        QByteArray text = "Datum;Verwendungszweck;Betrag\n";
        for (int i = 0; i < rows; ++i) {
            const int cents = (i * 7919) % 500000 - 200000;
            text += QDate(2020, 1, 1).addDays(i % 1500).toString(u"dd.MM.yyyy"_s).toLatin1() + ";Rechnung " +
                    QByteArray::number(i) + ';' + QByteArray::number(cents / 100) + ',' +
                    QByteArray::number(std::abs(cents % 100) + 100).mid(1) + '\n';
        }
        file.write(text);
    }
    QString path() const { return folder_.filePath(u"statement.csv"_s); }
    qint64 bytes() const { return QFileInfo(path()).size(); }

private:
    QTemporaryDir folder_;
};

// From choosing a long statement to its preview on screen; run it alone for a true peak memory.
void BM_ImportPreviewLong(benchmark::State& state)
{
    BenchHome home(10000);
    openUserLedger();
    const ShortStatementFile statement(int(state.range(0)));
    for (auto _ : state) {
        ImportDialog dialog(statement.path(), nullptr);
        dialog.show();
        QApplication::processEvents();
    }
    state.counters["file_MB"] = double(statement.bytes()) / 1e6;
    state.counters["peak_MiB"] = peakMemoryMiB();
    ConnSlot().reset();
}

void BM_ImportAdd(benchmark::State& state)
{
    BenchHome home(int(state.range(1)));
    const StatementFile statement(int(state.range(0)));
    Form1 window;
    window.Form_Load();
    window.show();
    std::vector<NewEntry> entries = ImportDialog(statement.path(), &window).chosenEntries();
    for (auto _ : state) {
        window.history()->record(u"Import"_s, [&] { addEntries(Conn(), entries); });
        window.ListData();
    }
    state.counters["entries"] = double(entries.size());
    state.counters["peak_MiB"] = peakMemoryMiB();
    window.close();
}

} // namespace

BENCHMARK(BM_ImportPreview)
    ->Args({100000, 10000})
    ->Args({100000, 1000000})

    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(BM_ImportPreviewLong)->Arg(2000000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ImportAdd)->Args({100000, 10000})->Args({100000, 1000000})->Unit(benchmark::kMillisecond)->Iterations(3);
