// A statement file of any bytes, read with any delimiter and encoding or with the detected ones:
// readCsv either refuses it with a Failure or gives rows that are never empty nor wider than the
// limit, each starting on a later line than the one before, and that read back as the same rows once
// written with every field quoted. The layout guessed for them turns each row into an entry with a
// real date, a finite amount of at most 1e15 and a direction, into a problem, or, for a row without
// text, into nothing.
#include "fuzzinput.h"
#include "importing/csvreader.h"
#include "importing/importlayout.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

constexpr std::array delimiters{u',', u';', u'\t', u'|'};
constexpr std::array encodings{TextEncoding::Utf8, TextEncoding::Utf16LE, TextEncoding::Utf16BE,
                               TextEncoding::Windows1252, TextEncoding::Latin1};

QByteArray quotedCsv(const ImportTable& table, QChar delimiter)
{
    QString text;
    for (const QStringList& row : table.rows) {
        for (qsizetype i = 0; i < row.size(); ++i) {
            if (i > 0)
                text += delimiter;
            text += u'"' + QString(row[i]).replace(u'"', u"\"\""_s) + u'"';
        }
        text += u'\n';
    }
    return text.toUtf8();
}

void checkEntries(const ImportTable& table)
{
    const ImportLayout layout = guessLayout(table);
    const std::vector<ImportRow> rows = convertRows(table, layout);
    fuzzCheck(rows.size() == size_t(table.rows.size() - layout.headerRow - 1), "a row was not converted");
    for (const ImportRow& row : rows) {
        const QString detail = table.rows[row.sourceRow].join(u" | ");
        if (!row.entry) {
            fuzzCheck(!row.problem.isEmpty() || isBlankRow(table.rows[row.sourceRow]),
                      "a row with text gave neither an entry nor a problem", detail);
            continue;
        }
        const ImportedEntry& entry = *row.entry;
        fuzzCheck(row.problem.isEmpty(), "an entry came with a problem", detail);
        fuzzCheck(entry.date.isValid(), "an entry has no real date", detail);
        fuzzCheck(std::isfinite(entry.amount) && entry.amount >= 0 && entry.amount <= 1e15,
                  "an entry's amount is negative, too large or not finite", detail);
        fuzzCheck(directionFromStored(storedValue(entry.direction)).has_value(), "an entry has no direction", detail);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const bool detect = input.ConsumeBool();
    const QChar delimiter = delimiters[input.ConsumeIntegralInRange<size_t>(0, delimiters.size() - 1)];
    const TextEncoding encoding = encodings[input.ConsumeIntegralInRange<size_t>(0, encodings.size() - 1)];
    const std::string bytes = input.ConsumeRemainingBytesAsString();
    const QByteArrayView file(bytes.data(), qsizetype(bytes.size()));

    const CsvOptions options = detect ? detectCsvOptions(file) : CsvOptions{delimiter, encoding};
    ImportTable table;
    try {
        table = readCsv(file, options);
    } catch (const Failure&) {
        return 0;
    }
    for (const QStringList& row : table.rows)
        fuzzCheck(!row.isEmpty() && row.size() <= importColumnLimit, "a row is empty or too wide",
                  row.join(options.delimiter));
    fuzzCheck(table.lines.size() == table.rows.size() && (table.lines.isEmpty() || table.lines.front() >= 1) &&
                  std::adjacent_find(table.lines.begin(), table.lines.end(), std::greater_equal<>()) ==
                      table.lines.end(),
              "the rows' lines do not rise from 1");

    const QByteArray written = quotedCsv(table, options.delimiter);
    // A zero byte read from far into the file moves to where the written copy is refused as binary.
    if (!written.first(std::min<qsizetype>(written.size(), 8192)).contains('\0')) {
        const ImportTable again = readCsv(written, CsvOptions{options.delimiter, TextEncoding::Utf8});
        fuzzCheck(again.rows == table.rows, "the rows written with quotes read back differently",
                  QString::fromUtf8(written));
    }
    checkEntries(table);
    return 0;
}
