#pragma once

#include "importing/importtable.h"
#include "importing/xlsxstyles.h"

#include <QByteArray>
#include <QStringList>
#include <vector>

// Far more rows than a spreadsheet program itself allows.
inline constexpr int sheetRowLimit = 2'000'000;

// What the rest of the workbook tells about a sheet's cells.
struct SheetContext
{
    QStringList sharedStrings;
    std::vector<NumberKind> cellKinds; // by cell style
    bool date1904 = false;
};

// A worksheet's cells as texts, each in the row and column its reference names (the next column when
// it names none), missing ones empty: shared and inline texts, formula results, TRUE and FALSE, error
// codes, numbers in their shortest form and dates as yyyy-mm-dd. Throws Failure for XML errors and
// sheets wider than importColumnLimit or longer than sheetRowLimit.
ImportTable readSheet(const QByteArray& xml, const SheetContext& context);
