// The printed report: the whole command up to its preview on screen (staging, reading back,
// layout and the preview's painting of every page), and the layout and the painting on their own.
#include "benchledger.h"
#include "ledgergenerator.h"
#include "money/moneyformat.h"
#include "money/storedcurrency.h"
#include "output/preview/reportpainter.h"
#include "output/preview/reportviewer.h"
#include "output/report/reportdata.h"
#include "output/report/reportlayout.h"
#include "output/report/reportmain.h"
#include "store/programconnection.h"
#include "store/recordset.h"
#include "store/statements.h"
#include "ui/main/printedreport.h"
#include "ui/main/reportrows.h"

#include <QApplication>
#include <QPrinter>
#include <QTimer>
#include <QWidget>
#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

const QSize letter(12240, 15840);

// Closes the report's preview window once it has painted its first page.
class PreviewCloser
{
public:
    PreviewCloser()
    {
        QObject::connect(&timer_, &QTimer::timeout, [] {
            auto* preview = qobject_cast<ReportViewer*>(QApplication::activeModalWidget());
            if (preview && preview->paintedPages() > 0)
                preview->close();
        });
        timer_.start(1);
    }

private:
    QTimer timer_;
};

// From the click to the preview window on screen with its first page painted; closed then.
void BM_ReportCommandToPreview(benchmark::State& state)
{
    BenchHome home(int(state.range(0)));
    openUserLedger();
    buildStoredMoneyFormat();
    QWidget owner;
    PreviewCloser closer;
    for (auto _ : state)
        printLedgerReport(&owner, programLedger(), 0);
    state.counters["peak_MiB"] = peakMemoryMiB();
    ConnSlot().reset();
}

// The rows of a ledger of `count` entries as the report reads them back from its staging
// table, and the report design with its money formats.
struct StagedReport
{
    ReportDesign design = rptMain();
    ReportData rows;
};

StagedReport stagedReport(int count)
{
    BenchHome home(count);
    openUserLedger();
    buildStoredMoneyFormat();
    QWidget owner;
    {
        PreviewCloser closer;
        printLedgerReport(&owner, programLedger(), 0); // fills the staging table
    }

    StagedReport report;
    for (auto [section, control] : {std::pair{u"Section5", u"Function1"}, std::pair{u"Section5", u"Function2"},
                                    std::pair{u"Section1", u"Text7"}, std::pair{u"Section1", u"Text2"}})
        report.design.section(section).control(control).format = moneyFormat();
    Recordset rs;
    rs.open(selectReport(), Conn());
    report.rows = readReportRows(rs, report.design.dataFields());
    rs.close();
    ConnSlot().reset();
    return report;
}

// The pure layout of the staged rows into letter pages.
void BM_ReportLayout(benchmark::State& state)
{
    const StagedReport report = stagedReport(int(state.range(0)));
    size_t pages = 0;
    for (auto _ : state)
        pages = layoutReport(report.design, report.rows, letter).pages.size();
    state.counters["pages"] = double(pages);
    state.counters["peak_MiB"] = peakMemoryMiB();
}

// The preview's share: the first page painted in a preview of a laid-out report.
void BM_ReportViewerFirstPage(benchmark::State& state)
{
    const StagedReport report = stagedReport(int(state.range(0)));
    int pages = 0;
    for (auto _ : state) {
        ReportViewer viewer(report.design, report.rows, nullptr);
        viewer.show();
        while (viewer.paintedPages() == 0)
            QApplication::processEvents();
        pages = viewer.pageCount();
    }
    state.counters["pages"] = double(pages);
    state.counters["peak_MiB"] = peakMemoryMiB();
}

} // namespace

BENCHMARK(BM_ReportLayout)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_ReportViewerFirstPage)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ReportCommandToPreview)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ReportCommandToPreview)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);
