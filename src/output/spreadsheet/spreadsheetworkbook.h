#pragma once

#include "base/progress.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <vector>

class SerialWorker;
struct lxw_workbook;
struct lxw_worksheet;
struct SpreadsheetProgram;

// Removes the private folders of workbooks shown earlier: each holds a full copy of the ledger, and
// their spreadsheet program has read them by the next export or the end of the run. A workbook
// still being written has not been shown and stays.
void removeShownWorkbooks();

// A new one-sheet .xlsx workbook in a private folder of its own (mode 0700), removed with this
// object unless the workbook was shown. Cells count from 1 as a spreadsheet shows them. Rows go to
// disk as they are finished, so a large ledger costs little memory: write them top to bottom.
// Cells are checked as they are set and written to the file on a thread of its own, beside the
// one that makes them.
class SpreadsheetWorkbook
{
public:
    // Throws when the folder or the workbook cannot be made.
    SpreadsheetWorkbook();
    ~SpreadsheetWorkbook();
    SpreadsheetWorkbook(const SpreadsheetWorkbook&) = delete;
    SpreadsheetWorkbook& operator=(const SpreadsheetWorkbook&) = delete;

    // An empty text leaves the cell empty. Throws when the cell cannot be written: it lies outside
    // the sheet or above a row already written, or its text is too long for a cell.
    void setText(int row, int column, const QString& text);
    void setNumber(int row, int column, double value);

    // Widens every column to its longest content, as a spreadsheet's autofit would.
    void fitColumns();

    // Writes the file; no cell can be set afterwards. The writing (compressing the whole sheet,
    // the longest part of a large export) runs beside this thread, which meanwhile asks `waiting`
    // every few milliseconds; when that says stop, the file is still finished but Cancelled is
    // thrown once it is.
    QString save(const ProgressCheck& waiting = {});
    // Saves (see save) and opens the workbook in the program as a new document. The file stays
    // for the program to read, until removeShownWorkbooks.
    void show(const SpreadsheetProgram& program, const ProgressCheck& waiting = {});

private:
    struct CellBatch;

    void checkPlace(int row, int column) const;
    void cellAdded(int row, int column, qsizetype characters);
    void noteWidth(int column, qsizetype characters);
    void sendCells();

    QTemporaryDir folder_;
    QByteArray tmpdir_; // libxlsxwriter keeps a pointer to it
    QString path_;
    lxw_workbook* workbook_ = nullptr;
    lxw_worksheet* sheet_ = nullptr;
    std::vector<qsizetype> widths_; // longest content per column, in characters
    int currentRow_ = 1;            // rows above it are on their way to disk
    std::unique_ptr<CellBatch> cells_;
    int writeError_ = 0; // the first the writing thread met, kept for save
    std::unique_ptr<SerialWorker> writer_;
};
