#include "ui/main/spreadsheetexport.h"

#include "app/errortrap.h"
#include "app/longtask.h"
#include "app/prompter.h"
#include "ledgerlist/ledgermodel.h"
#include "output/listsheet/listsheet.h"
#include "output/spreadsheet/spreadsheetprogram.h"
#include "output/spreadsheet/spreadsheetworkbook.h"

#include <QCoreApplication>
#include <QLabel>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

// Each title over its own list column, whatever the rows hold.
void writeTitles(ErrorTrap& trap, LongTask& task, SpreadsheetWorkbook& sheet, const LedgerModel& list)
{
    for (int c = 0; c < list.columnCount(); ++c) {
        trap.step(120, [&] { task.keepGoing(0); });
        if (task.canceled())
            return;
        trap.step(132, [&] { ListSheet::writeTitle(sheet, list, c); });
    }
}

// Each ticked list row in its own sheet row; an unticked row stays empty. Returns the sheet row
// after the list.
int writeRows(ErrorTrap& trap, LongTask& task, SpreadsheetWorkbook& sheet, const LedgerModel& list)
{
    int row = 0;
    // The count is read afresh: a refill while events run appends rows behind the existing ones.
    for (; row < list.rowCount(); ++row) {
        trap.step(142, [&] { task.keepGoing(row); });
        if (task.canceled())
            return ListSheet::sheetRowOf(row);
        if (!trap.test(144, [&] { return list.isTicked(row); }))
            continue;
        for (int c = 0; c < list.columnCount(); ++c) {
            trap.step(150, [&] { task.keepGoing(row); });
            if (task.canceled())
                return ListSheet::sheetRowOf(row);
            trap.step(c == LedgerModel::idColumn ? 154 : 162, [&] { ListSheet::writeCell(sheet, list, row, c); });
        }
    }
    return ListSheet::sheetRowOf(row);
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
        const int summaryRow = ListSheet::summaryRow(writeRows(trap, task, *sheet, list));
        if (task.canceled()) {
            setExporting(false);
            return;
        }
        for (size_t i = 0; i < summary.size(); ++i)
            trap.step(172 + 2 * int(i), [&] { ListSheet::writeSummary(*sheet, summaryRow, i, summary[i]->text()); });
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
