#include "importing/csvreader.h"

#include "base/failure.h"
#include "importing/csvparser.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// Text never holds a NUL byte; spreadsheets, images and UTF-16 files have them at once.
constexpr qsizetype binaryProbe = 8192;

} // namespace

ImportTable readCsv(QByteArrayView bytes, const CsvOptions& options)
{
    const QByteArrayView start = bytes.first(std::min(bytes.size(), binaryProbe));
    ensure(std::find(start.begin(), start.end(), '\0') == start.end(), u"The file is not a text file."_s);
    const QString text = decodeText(bytes, options.encoding);
    CsvParser parser(text, options.delimiter);
    ImportTable table;
    qsizetype cells = 0;
    QStringList fields;
    while (parser.next(fields)) {
        cells += fields.size();
        ensureCellCount(cells);
        table.rows.append(std::move(fields));
        table.lines.append(parser.recordLine());
    }
    return table;
}
