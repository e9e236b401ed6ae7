#pragma once

#include "base/direction.h"
#include "base/progress.h"
#include "importing/importfield.h"
#include "importing/importtable.h"
#include "importing/importvalues.h"

#include <QDate>
#include <QList>
#include <QString>
#include <optional>
#include <vector>

struct ImportLayout
{
    int headerRow = -1;         // index in ImportTable::rows of the header line, -1 when none; data starts after it
    QList<ImportField> columns; // one per column (widest row)
    DateOrder dateOrder = DateOrder::DMY;
    DecimalMark decimalMark = DecimalMark::Point;
    // Whether the file reads either way and the user's region chose (GuessBasis::Open).
    bool dateOrderOpen = false;
    bool decimalMarkOpen = false;
};

// Whether some column holds the amount: one signed column, or an In or Out column.
bool mapsAnAmount(const QList<ImportField>& columns);

// Among the first 20 rows, the first that reads as column titles and is followed by a row of data (a
// date and a number, at least half as wide): a preamble of account and period lines before it is
// passed over. -1 when there is none, as when the first row already holds data.
int detectHeaderRow(const ImportTable& table);

// The header row, each column's field by its title (English or German, case and accents aside; the
// first of several date columns wins), by its contents where no title tells, and the date order and
// decimal mark that the first data rows show, the titles' language and the amounts' mark helping
// with the dates.
ImportLayout guessLayout(const ImportTable& table);

struct ImportedEntry
{
    QDate date;
    double amount = 0;
    Direction direction = Direction::Received;
    QString reason, fromCompany, toCompany, paymentMethod, notes;
};

struct ImportRow
{
    int sourceRow = 0; // index in ImportTable::rows
    std::optional<ImportedEntry> entry;
    QString problem; // set when entry is empty, except for a row with no text at all
    int line = 0;    // of the file, where the row starts (ImportTable::lineOf)
};

// One row as an entry, or the short reason it cannot be one: "Control character U+0000 in Notes" (any
// C0 control but tab, line feed and carriage return, in a column that is not ignored), "No date",
// "Unreadable date "…"", "No amount", "Unreadable amount "…"", "Both In and Out hold an amount",
// "Unknown direction "…"". A negative amount is paid out, a direction column decides over the sign,
// the amount is kept positive. A counterparty goes to From or To by the direction. Texts are taken as
// they stand, never evaluated; several columns of one text field are joined with a space.
ImportRow convertRow(const ImportTable& table, int row, const ImportLayout& layout);

// Every row after the header row.
// `check` is asked now and then with how many rows are done; when it says stop, Cancelled is thrown.
std::vector<ImportRow> convertRows(const ImportTable& table, const ImportLayout& layout,
                                   const ProgressCheck& check = {});

// The statement's rows: every row after the header row but the blank ones, which are no rows of it.
std::vector<ImportRow> convertStatement(const ImportTable& table, const ImportLayout& layout,
                                        const ProgressCheck& check = {});
