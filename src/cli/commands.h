#pragma once

#include "cli/ledgerscan.h"

#include <QString>

// The commands for scripts. Each reads the user's ledger (XDG_DATA_HOME) beside a window that may
// have it open, writes its result to standard output or to the file named, and returns the exit
// code: 0 done, 1 failed (said on standard error).

enum class OutputForm { Text, Csv, Json };

// Received, Paid, Balance and the number of entries in `range`: as the window's summary says them
// ("Received: …" in the user's money format, then "Entries: N"), or as one JSON object with the
// money as numbers of two decimals.
int runTotals(const DateRange& range, OutputForm form);

// The entries in `range`, in the ledger's order, under a header line: id, date (ISO), direction,
// amount (two decimals), reason, from, to, method, notes. Text separates them by tabs (a tab, line
// break or backslash inside a text is written \t, \n, \r or \\), Csv by commas as RFC 4180 quotes
// them, Json as an array of objects (no date or amount is null).
int runList(const DateRange& range, OutputForm form);

// The workbook "Save Database To Excel" writes, every entry in it, saved as `file`.
int runExport(const QString& file);

// The printed report, every entry with the totals and the balance, saved as a PDF `file`.
int runReport(const QString& file);
