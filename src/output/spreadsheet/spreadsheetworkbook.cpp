#include "output/spreadsheet/spreadsheetworkbook.h"

#include "base/failure.h"
#include "base/serialworker.h"
#include "output/spreadsheet/spreadsheetprogram.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <algorithm>
#include <chrono>
#include <unistd.h>
#include <utility>
#include <xlsxwriter.h>

using namespace Qt::StringLiterals;

namespace {

// Wide enough for a long note to show its start without pushing the other columns off screen.
constexpr qsizetype widestColumn = 60;
constexpr qsizetype columnMargin = 2;

// A cell holds at most this many characters.
constexpr qsizetype longestText = 32767;
// Cells go to the writing thread in batches: few handovers, and little held in memory.
constexpr std::size_t batchCells = 4096;
constexpr std::size_t batchesQueued = 16;

constexpr auto folderPrefix = u"quorvane-export-";
constexpr auto shownMark = u"shown";

QDir temporaryFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::TempLocation));
}

QString privateFolderTemplate()
{
    return temporaryFolder().filePath(QString::fromUtf16(folderPrefix) + u"XXXXXX"_s);
}

void check(lxw_error error)
{
    if (error != LXW_NO_ERROR)
        throw Failure(QString::fromUtf8(lxw_strerror(error)));
}

// Characters as the writer counts them: every byte that does not continue a UTF-8 sequence.
qsizetype utf8Characters(const QByteArray& utf8)
{
    return std::count_if(utf8.begin(), utf8.end(), [](char byte) { return (byte & 0xC0) != 0x80; });
}

// The message is made only on failure: these run for every cell.
lxw_row_t rowIndex(int row)
{
    if (row < 1 || lxw_row_t(row) > LXW_ROW_MAX)
        throw Failure(u"Row %1 lies outside the sheet."_s.arg(row));
    return lxw_row_t(row - 1);
}

lxw_col_t columnIndex(int column)
{
    if (column < 1 || column > LXW_COL_MAX)
        throw Failure(u"Column %1 lies outside the sheet."_s.arg(column));
    return lxw_col_t(column - 1);
}

} // namespace

// Cells on their way from the thread that sets them to the one that writes them.
struct SpreadsheetWorkbook::CellBatch
{
    struct Cell
    {
        lxw_row_t row;
        lxw_col_t column;
        double number;
        qsizetype text; // where its NUL-ended text starts in `texts`; -1 for a number
    };
    std::vector<Cell> cells;
    QByteArray texts;

    void addText(int row, int column, const QByteArray& utf8)
    {
        cells.push_back({lxw_row_t(row - 1), lxw_col_t(column - 1), 0, texts.size()});
        texts.append(utf8).append('\0');
    }
    void addNumber(int row, int column, double value)
    {
        cells.push_back({lxw_row_t(row - 1), lxw_col_t(column - 1), value, -1});
    }
    bool full() const { return cells.size() >= batchCells; }

    // The first failure, or none.
    lxw_error writeTo(lxw_worksheet* sheet) const
    {
        for (const Cell& cell : cells) {
            const lxw_error error =
                cell.text < 0
                    ? worksheet_write_number(sheet, cell.row, cell.column, cell.number, nullptr)
                    : worksheet_write_string(sheet, cell.row, cell.column, texts.constData() + cell.text, nullptr);
            if (error != LXW_NO_ERROR)
                return error;
        }
        return LXW_NO_ERROR;
    }
};

void removeShownWorkbooks()
{
    const QDir temp = temporaryFolder();
    for (const QFileInfo& folder :
         temp.entryInfoList({QString::fromUtf16(folderPrefix) + u'*'}, QDir::Dirs | QDir::NoDotAndDotDot)) {
        // Only our own, and only those handed over to the spreadsheet program.
        if (folder.ownerId() == ::geteuid() && !folder.isSymLink() &&
            QFileInfo::exists(QDir(folder.filePath()).filePath(QString::fromUtf16(shownMark))))
            QDir(folder.filePath()).removeRecursively();
    }
}

namespace {

// Each new export first clears away the copies the earlier ones left for their program.
QString newExportFolderTemplate()
{
    removeShownWorkbooks();
    return privateFolderTemplate();
}

} // namespace

SpreadsheetWorkbook::SpreadsheetWorkbook() : folder_(newExportFolderTemplate())
{
    ensure(folder_.isValid(), u"Could not create a temporary folder for the workbook: "_s + folder_.errorString());
    path_ = folder_.filePath(u"Ledger.xlsx"_s);
    tmpdir_ = QFile::encodeName(folder_.path());
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = tmpdir_.data();
    workbook_ = workbook_new_opt(QFile::encodeName(path_).constData(), &options);
    ensure(workbook_ != nullptr, u"Could not create the workbook."_s);
    sheet_ = workbook_add_worksheet(workbook_, nullptr);
    ensure(sheet_ != nullptr, u"Could not add a sheet to the workbook."_s);
    cells_ = std::make_unique<CellBatch>();
    writer_ = std::make_unique<SerialWorker>(batchesQueued);
}

SpreadsheetWorkbook::~SpreadsheetWorkbook()
{
    // The writing thread lets go of the workbook before it is freed.
    writer_.reset();
    if (workbook_)
        lxw_workbook_free(workbook_);
}

// Spreadsheets read "_xHHHH_" in a cell as an escaped character: escape such a run's "_" so that
// the text shows as typed (control characters themselves are escaped by the writer).
static QString keepLiteral(const QString& text)
{
    static const QRegularExpression escapeLike(QStringLiteral("_(?=x[0-9A-Fa-f]{4}_)"));
    if (!text.contains(u"_x"))
        return text;
    return QString(text).replace(escapeLike, QStringLiteral("_x005F_"));
}

void SpreadsheetWorkbook::setText(int row, int column, const QString& text)
{
    if (text.isEmpty())
        return;
    checkPlace(row, column);
    const QByteArray utf8 = keepLiteral(text).toUtf8();
    if (utf8Characters(utf8) > longestText)
        check(LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED);
    cells_->addText(row, column, utf8);
    cellAdded(row, column, text.size());
}

void SpreadsheetWorkbook::setNumber(int row, int column, double value)
{
    checkPlace(row, column);
    cells_->addNumber(row, column, value);
    cellAdded(row, column, QString::number(value, 'g', 15).size());
}

// The checks the writer would make, made before the cell is handed over, so that a cell that
// cannot be written fails where it is set.
void SpreadsheetWorkbook::checkPlace(int row, int column) const
{
    ensure(sheet_ != nullptr, u"The workbook has been written; no cell can be set."_s);
    rowIndex(row);
    columnIndex(column);
    if (row < currentRow_)
        throw Failure(u"Row %1 lies above rows already written."_s.arg(row));
}

void SpreadsheetWorkbook::cellAdded(int row, int column, qsizetype characters)
{
    currentRow_ = row;
    noteWidth(column, characters);
    if (cells_->full())
        sendCells();
}

void SpreadsheetWorkbook::sendCells()
{
    if (cells_->cells.empty())
        return;
    writer_->post([this, sheet = sheet_,
                   batch = std::shared_ptr<CellBatch>(std::exchange(cells_, std::make_unique<CellBatch>()))] {
        if (writeError_ == LXW_NO_ERROR)
            writeError_ = batch->writeTo(sheet);
    });
}

void SpreadsheetWorkbook::noteWidth(int column, qsizetype characters)
{
    if (widths_.size() < size_t(column))
        widths_.resize(size_t(column));
    widths_[size_t(column - 1)] = std::max(widths_[size_t(column - 1)], characters);
}

void SpreadsheetWorkbook::fitColumns()
{
    ensure(sheet_ != nullptr, u"The workbook has been written; no column can be fitted."_s);
    sendCells();
    writer_->post([this, sheet = sheet_, widths = widths_] {
        for (size_t c = 0; c < widths.size() && writeError_ == LXW_NO_ERROR; ++c)
            if (widths[c] > 0)
                writeError_ = worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c),
                                                   double(std::min(widths[c] + columnMargin, widestColumn)), nullptr);
    });
}

QString SpreadsheetWorkbook::save(const ProgressCheck& waiting)
{
    ensure(workbook_ != nullptr, u"The workbook has already been written."_s);
    sendCells();
    // Closing frees the workbook whether or not the file could be written.
    writer_->post([this, workbook = std::exchange(workbook_, nullptr)] {
        const lxw_error closeError = workbook_close(workbook);
        if (writeError_ == LXW_NO_ERROR)
            writeError_ = closeError;
    });
    sheet_ = nullptr;
    bool stop = false;
    do {
        stop = stop || (waiting && !waiting(0));
    } while (!writer_->waitIdle(std::chrono::milliseconds(10)));
    check(lxw_error(writeError_));
    if (stop)
        throw Cancelled{};
    return path_;
}

void SpreadsheetWorkbook::show(const SpreadsheetProgram& program, const ProgressCheck& waiting)
{
    openInSpreadsheetProgram(program, save(waiting));
    folder_.setAutoRemove(false);
    QFile mark(folder_.filePath(QString::fromUtf16(shownMark)));
    mark.open(QIODevice::WriteOnly);
}
