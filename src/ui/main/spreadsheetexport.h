#pragma once

#include <array>
#include <functional>

class LedgerModel;
class QLabel;
class QWidget;

// "Save Database To Excel" (PushButton6_Click): the list's titles in row 1, each ticked list row in
// its own sheet row under them (list row k in sheet row k + 1), and the three summary captions
// three rows below the list, written into a new workbook that opens, unsaved, in the user's
// spreadsheet program. Every value stays under its own title, so an empty cell leaves a gap.
// `setExporting` is told true meanwhile and false at the end; pending events run between cells,
// so the list may grow (never shrink) while the export reads it, and the summary is read once the
// rows are written. The progress stands over `owner`; closing its window ends the export.
void exportLedgerList(QWidget* owner, const LedgerModel& list, const std::array<const QLabel*, 3>& summary,
                      const std::function<void(bool)>& setExporting);

// True when a spreadsheet program can be started; otherwise says so and returns false. Never
// shows an error report.
bool SaveResultsAsExcelFileIsExcelInstalled();
