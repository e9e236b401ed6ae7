// A workbook of any bytes, read whole as the import reads a chosen file (archive, table of contents,
// shared texts, styles, sheet): readXlsxBytes either refuses it with a Failure or gives rows within the
// limits, whose every cell holds at most a cell's characters, all of them at most a sheet's.
#include "fuzzinput.h"
#include "importing/xlsxreader.h"
#include "importing/xlsxsheet.h"
#include "importing/xlsxtextlimits.h"
#include "zipmutation.h"

using namespace Qt::StringLiterals;

extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t maxSize);

extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* data, size_t size, size_t maxSize, unsigned seed)
{
    // One mutation in eight goes to the archive's own bytes, so that reading the zip is fuzzed too.
    if (seed % 8 != 0) {
        if (const size_t repacked = mutateInsideZip(data, size, maxSize, seed / 8))
            return repacked;
    }
    return LLVMFuzzerMutate(data, size, maxSize);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ImportTable table;
    try {
        table = readXlsxBytes(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)), u"fuzz.xlsx"_s);
    } catch (const Failure& failure) {
        fuzzCheck(!failure.description().isEmpty(), "a refusal says nothing");
        return 0;
    }
    fuzzCheck(table.rows.size() <= sheetRowLimit, "more rows than the limit");
    qsizetype characters = 0;
    for (const QStringList& row : table.rows) {
        fuzzCheck(row.size() <= importColumnLimit, "a row is wider than the limit", row.join(u" | "));
        for (const QString& cell : row) {
            fuzzCheck(cell.size() <= cellTextLimit, "a cell holds more than a cell's characters", cell.left(80));
            characters += cell.size();
        }
    }
    fuzzCheck(characters <= sheetTextLimit, "the cells hold more than a sheet's characters");
    return 0;
}
