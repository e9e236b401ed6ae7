// Importing a bank statement of 100 000 rows: from choosing the file to the preview on screen,
// and from pressing Import to the list refilled with the new entries (one undo step).
#include "base/failure.h"
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
#include <functional>
#include <zip.h>

using namespace Qt::StringLiterals;

namespace {

// A statement file of `rows` rows under a title line, each row made by `row`.
class StatementFile
{
public:
    StatementFile(const QByteArray& titles, int rows, const std::function<QByteArray(int)>& row)
    {
        QFile file(path());
        file.open(QIODevice::WriteOnly);
        QByteArray text = titles + '\n';
        for (int i = 0; i < rows; ++i)
            text += row(i) + '\n';
        file.write(text);
    }
    QString path() const { return folder_.filePath(u"statement.csv"_s); }
    qint64 bytes() const { return QFileInfo(path()).size(); }

private:
    QTemporaryDir folder_;
};

QByteArray dayText(int i)
{
    return QDate(2020, 1, 1).addDays(i % 1500).toString(u"dd.MM.yyyy"_s).toLatin1();
}

QByteArray amountText(int i)
{
    const int cents = (i * 7919) % 500000 - 200000;
    return QByteArray::number(cents / 100) + ',' + QByteArray::number(std::abs(cents % 100) + 100).mid(1);
}

// A statement as a German bank writes it: semicolons, day-first dates, decimal commas, quoted texts.
StatementFile germanStatement(int rows)
{
    return StatementFile("Buchungstag;Valuta;Auftraggeber/Empfänger;Verwendungszweck;Betrag;Währung", rows, [](int i) {
        const char* const payees[] = {"Stadtwerke Köln", "Bäckerei Müller", "\"Schmidt; Partner\"", "Gehalt GmbH"};
        return dayText(i) + ';' + dayText(i) + ';' + payees[i % 4] + ";Rechnung " + QByteArray::number(i) + ';' +
               amountText(i) + ";EUR";
    });
}

// A long statement of three columns, as an account's export of several years: about 35 bytes a row.
StatementFile shortStatement(int rows)
{
    return StatementFile("Datum;Verwendungszweck;Betrag", rows,
                         [](int i) { return dayText(i) + ";Rechnung " + QByteArray::number(i) + ';' + amountText(i); });
}

void BM_ImportPreview(benchmark::State& state)
{
    BenchHome home(int(state.range(1)));
    openUserLedger();
    const StatementFile statement = germanStatement(int(state.range(0)));
    for (auto _ : state) {
        ImportDialog dialog(statement.path(), programLedger(), nullptr);
        dialog.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(dialog.chosenEntries().size());
    }
    state.counters["peak_MiB"] = peakMemoryMiB();
    ConnSlot().reset();
}

// From choosing a long statement to its preview on screen; run it alone for a true peak memory.
void BM_ImportPreviewLong(benchmark::State& state)
{
    BenchHome home(10000);
    openUserLedger();
    const StatementFile statement = shortStatement(int(state.range(0)));
    for (auto _ : state) {
        ImportDialog dialog(statement.path(), programLedger(), nullptr);
        dialog.show();
        QApplication::processEvents();
    }
    state.counters["file_MB"] = double(statement.bytes()) / 1e6;
    state.counters["peak_MiB"] = peakMemoryMiB();
    ConnSlot().reset();
}

// A workbook made by hand, as someone who means harm would make it. Its sheet is what `writeSheet`
// writes, kept on disk while it is packed, so that making it adds nothing to the peak memory.
class HostileWorkbookFile
{
public:
    explicit HostileWorkbookFile(void (*writeSheet)(QFile&))
    {
        static const QByteArray workbook = "<workbook><sheets><sheet name=\"One\" sheetId=\"1\"/></sheets></workbook>";
        QFile sheet(folder_.filePath(u"sheet1.xml"_s));
        sheet.open(QIODevice::WriteOnly);
        writeSheet(sheet);
        sheet.close();
        zip_t* archive = zip_open(QFile::encodeName(path()).constData(), ZIP_CREATE | ZIP_TRUNCATE, nullptr);
        zip_file_add(archive, "xl/workbook.xml",
                     zip_source_buffer(archive, workbook.constData(), zip_uint64_t(workbook.size()), 0), 0);
        zip_file_add(archive, "xl/worksheets/sheet1.xml",
                     zip_source_file(archive, QFile::encodeName(sheet.fileName()).constData(), 0, -1), 0);
        zip_close(archive);
    }
    QString path() const { return folder_.filePath(u"hostile.xlsx"_s); }
    qint64 bytes() const { return QFileInfo(path()).size(); }

private:
    QTemporaryDir folder_;
};

// A sheet of one cell whose text is `piece` `times` over, after `prologue`.
void writeOneCellSheet(QFile& sheet, const QByteArray& prologue, const QByteArray& piece, int times)
{
    sheet.write(prologue + R"(<worksheet><sheetData><row><c t="inlineStr"><is><t>)");
    for (int i = 0; i < times; ++i)
        sheet.write(piece);
    sheet.write("</t></is></c></row></sheetData></worksheet>");
}

// An entity of 4,000 characters named 1,500,000 times in one cell: 6 billion characters from 5 KB.
void writeEntitySheet(QFile& sheet)
{
    writeOneCellSheet(sheet, "<!DOCTYPE worksheet [<!ENTITY e \"" + QByteArray(4000, 'x') + "\">]>", "&e;", 1'500'000);
}

// One cell's text of 255 MB from 250 KB, just within what the archive lets a file unpack to.
void writeLongTextSheet(QFile& sheet)
{
    writeOneCellSheet(sheet, {}, QByteArray(1024 * 1024, 'x'), 255);
}

// From choosing a hostile workbook to its refusal; run each alone for a true peak memory.
void BM_ImportHostileWorkbook(benchmark::State& state, void (*writeSheet)(QFile&))
{
    const HostileWorkbookFile file(writeSheet);
    for (auto _ : state) {
        try {
            ImportDialog dialog(file.path(), programLedger(), nullptr);
            state.SkipWithError("the hostile workbook was not refused");
        } catch (const Failure&) {
        }
    }
    state.counters["file_KB"] = double(file.bytes()) / 1e3;
    state.counters["peak_MiB"] = peakMemoryMiB();
}

void BM_ImportAdd(benchmark::State& state)
{
    BenchHome home(int(state.range(1)));
    const StatementFile statement = germanStatement(int(state.range(0)));
    Form1 window;
    window.Form_Load();
    window.show();
    std::vector<NewEntry> entries = ImportDialog(statement.path(), programLedger(), &window).chosenEntries();
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
BENCHMARK_CAPTURE(BM_ImportHostileWorkbook, entity_in_one_cell, writeEntitySheet)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_ImportHostileWorkbook, long_text_in_one_cell, writeLongTextSheet)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
