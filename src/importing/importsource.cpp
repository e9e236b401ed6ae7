#include "importing/importsource.h"

#include "base/failure.h"
#include "importing/importfile.h"
#include "importing/xlsxreader.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

ImportSource readImportSource(const QString& path, const std::function<ProgressCheck(qint64 bytes)>& reading)
{
    const auto format = importFormatOf(path);
    if (!format)
        throw Failure(u"'%1' is neither a text file of values (.csv, .tsv, .txt) nor an Excel workbook (.xlsx)."_s.arg(
            QFileInfo(path).fileName()));
    ImportSource source;
    if (*format == ImportFormat::Xlsx) {
        source.table = readXlsx(path);
        return source;
    }
    source.text = readImportBytes(path);
    source.csv = detectCsvOptions(*source.text);
    source.table = readCsv(*source.text, source.csv, reading ? reading(source.text->size()) : ProgressCheck());
    return source;
}
