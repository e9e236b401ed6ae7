#include "importing/csvreader.h"

#include "base/failure.h"
#include "importing/csvparser.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// Text never holds a NUL character; spreadsheets, images and programs have them at once. UTF-16
// has zero bytes in every line, so the bytes are looked at as the encoding reads them.
constexpr qsizetype binaryProbe = 8192;

} // namespace

ImportTable readCsv(QByteArrayView bytes, const CsvOptions& options, const ProgressCheck& check)
{
    ensure(!decodeText(bytes.first(std::min(bytes.size(), binaryProbe)), options.encoding).contains(QChar()),
           u"The file is not a text file."_s);
    const QString text = decodeText(bytes, options.encoding);
    const double bytesPerCharacter = text.isEmpty() ? 0 : double(bytes.size()) / double(text.size());
    CsvParser parser(text, options.delimiter);
    ImportTable table;
    qsizetype cells = 0;
    QStringList fields;
    while (parser.next(fields)) {
        cells += fields.size();
        ensureCellCount(cells);
        table.rows.append(std::move(fields));
        table.lines.append(parser.recordLine());
        if (check && table.rows.size() % progressStride == 0 && !check(qint64(parser.position() * bytesPerCharacter)))
            throw Cancelled{};
    }
    return table;
}
