#include "importing/xlsxreader.h"

#include "importing/importfile.h"
#include "importing/xlsxarchive.h"
#include "importing/xlsxsharedstrings.h"
#include "importing/xlsxsheet.h"
#include "importing/xlsxworkbook.h"

#include <QDir>

using namespace Qt::StringLiterals;

ImportTable readXlsx(const QString& path)
{
    return readXlsxBytes(readImportBytes(path), QDir::toNativeSeparators(path));
}

ImportTable readXlsxBytes(QByteArray bytes, const QString& shownName)
{
    const XlsxArchive archive(std::move(bytes), shownName);
    const WorkbookFiles files = readWorkbookFiles(archive);
    SheetContext context;
    context.date1904 = files.date1904;
    SheetTextCount count;
    if (auto sharedStrings = archive.open(files.sharedStrings))
        context.sharedStrings = readSharedStrings(std::move(*sharedStrings), count);
    if (auto styles = archive.open(files.styles))
        context.cellKinds = readCellKinds(std::move(*styles));
    auto sheet = archive.open(files.sheet);
    ensure(sheet.has_value(), u"The workbook '%1' has no sheet."_s.arg(archive.shownName()));
    return readSheet(std::move(*sheet), context, count);
}
