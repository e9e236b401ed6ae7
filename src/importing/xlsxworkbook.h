#pragma once

#include "importing/xlsxarchive.h"

#include <QString>

// Where the workbook keeps what the import reads, as names of files in the archive; the shared texts
// and styles may be missing from it.
struct WorkbookFiles
{
    QString sheet = QStringLiteral("xl/worksheets/sheet1.xml"); // the first sheet that is not hidden
    QString sharedStrings = QStringLiteral("xl/sharedStrings.xml");
    QString styles = QStringLiteral("xl/styles.xml");
    bool date1904 = false;
};

// From xl/workbook.xml and its relationships, or else by the usual names. Throws Failure when the archive holds no
// workbook.
WorkbookFiles readWorkbookFiles(const XlsxArchive& archive);
