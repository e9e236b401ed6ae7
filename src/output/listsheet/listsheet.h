#pragma once

#include <QString>
#include <array>

class LedgerModel;
class SpreadsheetWorkbook;

// Where "Save Database To Excel" puts the ledger list in a sheet: the list's titles in row 1, list
// row k in sheet row k + 2 when ticked (an unticked row stays empty), every value under its own
// title, and the summary's three captions two rows below the list, spread under its columns. The
// window's export and the command line's both write through here, so their sheets agree cell by cell.
namespace ListSheet {

inline constexpr int titleRow = 1;

// The sheet row of list row `listRow`.
constexpr int sheetRowOf(int listRow)
{
    return titleRow + 1 + listRow;
}

// The row of the summary, below a list whose rows end before `rowAfterList`.
constexpr int summaryRow(int rowAfterList)
{
    return rowAfterList + 2;
}

void writeTitle(SpreadsheetWorkbook& sheet, const LedgerModel& list, int column);
// A numeric id goes in as a number, so the sheet sorts and sums it as one; every other value as the
// list shows it, without '=', so that no cell becomes a formula.
void writeCell(SpreadsheetWorkbook& sheet, const LedgerModel& list, int listRow, int column);
// The summary's caption `index` (0 Received, 1 Paid, 2 Balance).
void writeSummary(SpreadsheetWorkbook& sheet, int row, size_t index, const QString& caption);

} // namespace ListSheet
