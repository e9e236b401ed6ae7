#include "ui/main/spreadsheetexport.h"

#include "app/errortrap.h"
#include "app/longtask.h"
#include "app/prompter.h"
#include "ledgerlist/ledgermodel.h"
#include "output/spreadsheet/spreadsheetprogram.h"
#include "output/spreadsheet/spreadsheetworkbook.h"

#include <QCoreApplication>
#include <QLabel>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

constexpr int titleRow = 1;
// The summary stands two rows below the list, its captions spread under the list's columns.
constexpr int summaryGap = 2;
constexpr std::array summaryColumns = {3, 6, 9};

// A numeric id goes in as a number, so the sheet sorts and sums it as one.
void writeId(SpreadsheetWorkbook& sheet, int row, const QString& id)
{
    bool isNumber = false;
    const qint64 number = id.toLongLong(&isNumber);
    if (isNumber)
        sheet.setNumber(row, LedgerModel::idColumn + 1, double(number));
    else
        sheet.setText(row, LedgerModel::idColumn + 1, id);
}

// Each title over its own list column, whatever the rows hold.
void writeTitles(ErrorTrap& trap, LongTask& task, SpreadsheetWorkbook& sheet, const LedgerModel& list)
{
    for (int c = 0; c < list.columnCount(); ++c) {
        trap.step(120, [&] { task.keepGoing(0); });
        if (task.canceled())
            return;
        trap.step(132, [&] { sheet.setText(titleRow, c + 1, list.columnTitle(c)); });
    }
}

// List row k goes to sheet row k + 1 when ticked; an unticked row stays empty. Every value lands
// under its own title. Returns the sheet row after the list.
int writeRows(ErrorTrap& trap, LongTask& task, SpreadsheetWorkbook& sheet, const LedgerModel& list)
{
    int sheetRow = titleRow + 1;
    // The count is read afresh: a refill while events run appends rows behind the existing ones.
    for (int row = 0; row < list.rowCount(); ++row, ++sheetRow) {
        trap.step(142, [&] { task.keepGoing(row); });
        if (task.canceled())
            return sheetRow;
        if (!trap.test(144, [&] { return list.isTicked(row); }))
            continue;
        for (int c = 0; c < list.columnCount(); ++c) {
            trap.step(150, [&] { task.keepGoing(row); });
            if (task.canceled())
                return sheetRow;
            if (c == LedgerModel::idColumn)
                trap.step(154, [&] { writeId(sheet, sheetRow, list.text(row, c)); });
            else
                trap.step(162, [&] { sheet.setText(sheetRow, c + 1, list.text(row, c).remove(u'=')); });
        }
    }
    return sheetRow;
}

} // namespace

bool SaveResultsAsExcelFileIsExcelInstalled()
{
    const bool installed = findSpreadsheetProgram().has_value();
    if (!installed)
        MsgBox(u"Excel is not installed on this computer. You need to have it installed to use this software "
               "without error."_s);
    return installed;
}

void exportLedgerList(QWidget* owner, const LedgerModel& list, const std::array<const QLabel*, 3>& summary,
                      const std::function<void(bool)>& setExporting)
{
    ErrorTrap trap(u"Form1", u"PushButton6_Click");
    if (trap.test(100, [] { return !SaveResultsAsExcelFileIsExcelInstalled(); })) {
        trap.step(184, [] {
            MsgBox(u"Excel is not installed on this computer. You need to have it installed to use this feature."_s);
        });
        return;
    }
    if (trap.test(108, [&] { return list.rowCount() == 0; }))
        return;
    trap.step(110, [&] { setExporting(true); });
    SpreadsheetProgram program;
    trap.step(112, [&] { program = spreadsheetProgram(); });
    std::optional<SpreadsheetWorkbook> sheet;
    // Without a workbook every cell would fail on its own; the one report is enough.
    if (trap.step(114, [&] { sheet.emplace(); })) {
        // Cancelled, or the window closed: no program starts, and the unshown workbook goes with
        // its folder.
        LongTask task(owner, QCoreApplication::translate("Export", "Saving the list to a workbook…"), list.rowCount());
        writeTitles(trap, task, *sheet, list);
        const int summaryRow = writeRows(trap, task, *sheet, list) + summaryGap;
        if (task.canceled()) {
            setExporting(false);
            return;
        }
        for (size_t i = 0; i < summary.size(); ++i)
            trap.step(172 + 2 * int(i), [&] { sheet->setText(summaryRow, summaryColumns[i], summary[i]->text()); });
        trap.step(178, [&] { sheet->fitColumns(); });
        // Writing the file takes a while for a long list, and cannot be counted: the progress
        // says so, and Cancel still works.
        trap.step(180, [&] {
            task.setUncounted(QCoreApplication::translate("Export", "Writing the workbook…"));
            sheet->show(program, [&](qint64) { return task.keepGoing(0); });
        });
    }
    trap.step(182, [&] { setExporting(false); });
}
