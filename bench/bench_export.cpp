// The spreadsheet export of a fully ticked ledger list, up to handing the workbook to the
// spreadsheet program (a stand-in that returns at once).
#include "benchledger.h"
#include "ledgergenerator.h"
#include "ledgerlist/ledgermodel.h"
#include "ui/main/form1.h"
#include "ui/main/spreadsheetexport.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

// PATH holds only a spreadsheet program that does nothing, and the workbooks go to a folder of
// our own that is emptied between runs.
class FakeSpreadsheetSurroundings
{
public:
    FakeSpreadsheetSurroundings()
    {
        QDir(folder_.path()).mkpath(u"bin"_s);
        QFile program(folder_.filePath(u"bin/localc"_s));
        program.open(QIODevice::WriteOnly);
        program.write("#!/bin/sh\nexit 0\n");
        program.setPermissions(program.permissions() | QFile::ExeOwner);
        QDir(folder_.path()).mkpath(u"tmp"_s);
        qputenv("PATH", QFile::encodeName(folder_.filePath(u"bin"_s)));
        qputenv("TMPDIR", QFile::encodeName(folder_.filePath(u"tmp"_s)));
    }

    ~FakeSpreadsheetSurroundings()
    {
        qputenv("PATH", savedPath_);
        qputenv("TMPDIR", savedTemp_);
    }

    void removeWorkbooks() const
    {
        QDir temp(folder_.filePath(u"tmp"_s));
        temp.removeRecursively();
        temp.mkpath(u"."_s);
    }

private:
    QByteArray savedPath_ = qgetenv("PATH");
    QByteArray savedTemp_ = qgetenv("TMPDIR");
    QTemporaryDir folder_;
};

void BM_SpreadsheetExport(benchmark::State& state)
{
    BenchHome home(int(state.range(0)));
    Form1 window;
    window.Form_Load();
    window.show();
    LedgerModel& list = *window.ledgerModel();
    for (int row = 0; row < list.rowCount(); ++row)
        list.setTicked(row, true);
    const FakeSpreadsheetSurroundings surroundings;

    for (auto _ : state) {
        exportLedgerList(&window, list, window.summaryLabels(),
                         [&window](bool exporting) { window.setExporting(exporting); });
        state.PauseTiming();
        surroundings.removeWorkbooks();
        state.ResumeTiming();
    }
    state.counters["rows"] = list.rowCount();
    state.counters["peak_MiB"] = peakMemoryMiB();
    window.close();
}

} // namespace

BENCHMARK(BM_SpreadsheetExport)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_SpreadsheetExport)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);
