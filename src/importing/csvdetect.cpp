#include "importing/csvreader.h"

#include "base/failure.h"
#include "importing/csvparser.h"

#include <QHash>
#include <algorithm>
#include <array>

namespace {

// Enough lines to see past a preamble of account and period lines to the rows themselves.
constexpr int sampleRecords = 50;
constexpr qsizetype sampleBytes = 64 * 1024;

// How well a delimiter splits the sample: how many records share the most common width, and that
// width. A delimiter that never splits a line scores nothing.
struct Split
{
    int agreeing = 0;
    qsizetype width = 0;

    auto operator<=>(const Split&) const = default;
};

Split splitBy(QStringView sample, QChar delimiter)
{
    QHash<qsizetype, int> widths;
    CsvParser parser(sample, delimiter);
    QStringList fields;
    // The sample may end inside a quoted field or on a line too wide for this delimiter; the
    // records before decide.
    try {
        for (int record = 0; record < sampleRecords && parser.next(fields); ++record)
            ++widths[fields.size()];
    } catch (const Failure&) {
    }
    Split best;
    for (auto it = widths.cbegin(); it != widths.cend(); ++it) {
        const Split split{it.value(), it.key()};
        if (split.width > 1 && split > best)
            best = split;
    }
    return best;
}

} // namespace

CsvOptions detectCsvOptions(QByteArrayView bytes)
{
    CsvOptions options;
    options.encoding = detectEncoding(bytes);
    const QString sample = decodeText(bytes.first(std::min(bytes.size(), sampleBytes)), options.encoding);
    Split best;
    // Between equals the first wins: commas are also decimal marks and group separators, so tabs and
    // semicolons that split as well as they do are the delimiters.
    for (const QChar delimiter : std::array{u'\t', u';', u',', u'|'}) {
        const Split split = splitBy(sample, delimiter);
        if (split > best) {
            best = split;
            options.delimiter = delimiter;
        }
    }
    return options;
}
