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
    const XlsxArchive archive(readImportBytes(path), QDir::toNativeSeparators(path));
    const WorkbookFiles files = readWorkbookFiles(archive);
    SheetContext context;
    context.date1904 = files.date1904;
    if (const auto sharedStrings = archive.file(files.sharedStrings))
        context.sharedStrings = readSharedStrings(*sharedStrings);
    if (const auto styles = archive.file(files.styles))
        context.cellKinds = readCellKinds(*styles);
    const auto sheet = archive.file(files.sheet);
    ensure(sheet.has_value(), u"The workbook '%1' has no sheet."_s.arg(archive.shownName()));
    return readSheet(*sheet, context);
}
