#pragma once

class Form1;

// "Save Database To Excel" (PushButton6_Click): the list's titles in row 1, each ticked list row in
// its own sheet row under them (list row k in sheet row k + 1), and the three summary captions
// three rows below the list, written into a new workbook that opens, unsaved, in the user's
// spreadsheet program. Every value stays under its own title, so an empty cell leaves a gap.
// The window is marked as exporting meanwhile (it shows the hourglass); pending events run
// between cells, so the list may grow (never shrink) while the export reads it.
void exportLedgerList(Form1& window);

// True when a spreadsheet program can be started; otherwise says so and returns false. Never
// shows an error report.
bool SaveResultsAsExcelFileIsExcelInstalled();
