#pragma once

#include "importing/importtable.h"
#include "importing/xlsxarchive.h"
#include "importing/xlsxstyles.h"
#include "importing/xlsxtextlimits.h"

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
// codes, numbers in their shortest form and dates as yyyy-mm-dd. Each cell's text is added to `count`.
// Throws Failure for XML errors, sheets wider than importColumnLimit or longer than sheetRowLimit, and
// texts longer than a cell or, all together, the sheet holds.
ImportTable readSheet(XlsxMember file, const SheetContext& context, SheetTextCount& count);
