#include "output/listsheet/listsheet.h"

#include "ledgerlist/ledgermodel.h"
#include "output/spreadsheet/spreadsheetworkbook.h"

namespace ListSheet {

namespace {

constexpr std::array summaryColumns = {3, 6, 9};

} // namespace

void writeTitle(SpreadsheetWorkbook& sheet, const LedgerModel& list, int column)
{
    sheet.setText(titleRow, column + 1, list.columnTitle(column));
}

void writeCell(SpreadsheetWorkbook& sheet, const LedgerModel& list, int listRow, int column)
{
    const int row = sheetRowOf(listRow);
    const QString text = list.text(listRow, column);
    if (column == LedgerModel::idColumn) {
        bool isNumber = false;
        const qint64 number = text.toLongLong(&isNumber);
        if (isNumber) {
            sheet.setNumber(row, column + 1, double(number));
            return;
        }
    }
    sheet.setText(row, column + 1, QString(text).remove(u'='));
}

void writeSummary(SpreadsheetWorkbook& sheet, int row, size_t index, const QString& caption)
{
    sheet.setText(row, summaryColumns.at(index), caption);
}

} // namespace ListSheet
