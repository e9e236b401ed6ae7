#pragma once

#include "importing/importvalues.h"

#include <QCommandLineOption>
#include <QString>
#include <optional>
#include <variant>

class QCommandLineParser;

// quorvane --import FILE [--date-order DMY|MDY|YMD] [--dry-run]
//
// Adds a statement's or workbook's entries to the ledger without the window, beside a window that
// may have the same ledger open. The file is read and guessed as the import window reads it; the
// readable rows the ledger does not hold already are added in one transaction, rows it holds are
// skipped (a script cannot tick them as the window can), and rows repeated within the file are all
// added, as the window adds them. With --dry-run the ledger is only read.
//
// Where nothing in the file tells day from month, --date-order must name the order; where nothing
// tells the decimal mark, the file is refused, as a wrong mark would store amounts a thousand times
// off and no option chooses it: the import window does.
//
// Standard output, for scripts to rely on (N a number, "1 entry" and "1 row" in the singular):
//   Added N entries.                              with --dry-run "Would add N entries."
//   Skipped N entries the ledger holds already.   with --dry-run "Would skip ..."; only when N > 0
//   Could not read N rows:                        only when N > 0; then one line per row, in file order:
//     line L: REASON                              L the file's line (a sheet's row), REASON as the window
//                                                 shows it, on one line
// Exit codes: 0 done, also when nothing was new; 1 refused or failed, nothing added, and one line on
// standard error, "Nothing was imported from 'FILE': WHY"; 2 a misuse of the options, with the usage.
struct ImportRequest
{
    QString file;
    std::optional<DateOrder> dateOrder; // instead of the guessed one
    bool dryRun = false;
};

// Returns the exit code.
int runImport(const ImportRequest& request);

// The command's options on the program's command line.
class ImportOptions
{
public:
    // Adds --import, --date-order and --dry-run to `parser`.
    explicit ImportOptions(QCommandLineParser& parser);

    // Whether the parsed command line gives any of them.
    bool given(const QCommandLineParser& parser) const;
    // The import they ask for, or why they cannot be used so (for the usage message).
    std::variant<ImportRequest, QString> request(const QCommandLineParser& parser) const;

private:
    QCommandLineOption file_;
    QCommandLineOption dateOrder_;
    QCommandLineOption dryRun_;
};
