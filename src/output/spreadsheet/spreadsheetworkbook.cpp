#include "output/spreadsheet/spreadsheetworkbook.h"

#include "base/failure.h"
#include "output/spreadsheet/spreadsheetprogram.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <algorithm>
#include <chrono>
#include <future>
#include <unistd.h>
#include <utility>
#include <xlsxwriter.h>

using namespace Qt::StringLiterals;

namespace {

// Wide enough for a long note to show its start without pushing the other columns off screen.
constexpr qsizetype widestColumn = 60;
constexpr qsizetype columnMargin = 2;

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
}

SpreadsheetWorkbook::~SpreadsheetWorkbook()
{
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
    check(worksheet_write_string(sheet_, rowIndex(row), columnIndex(column), keepLiteral(text).toUtf8().constData(),
                                 nullptr));
    noteWidth(column, text.size());
}

void SpreadsheetWorkbook::setNumber(int row, int column, double value)
{
    check(worksheet_write_number(sheet_, rowIndex(row), columnIndex(column), value, nullptr));
    noteWidth(column, QString::number(value, 'g', 15).size());
}

void SpreadsheetWorkbook::noteWidth(int column, qsizetype characters)
{
    if (widths_.size() < size_t(column))
        widths_.resize(size_t(column));
    widths_[size_t(column - 1)] = std::max(widths_[size_t(column - 1)], characters);
}

void SpreadsheetWorkbook::fitColumns()
{
    for (size_t c = 0; c < widths_.size(); ++c)
        if (widths_[c] > 0)
            check(worksheet_set_column(sheet_, lxw_col_t(c), lxw_col_t(c),
                                       double(std::min(widths_[c] + columnMargin, widestColumn)), nullptr));
}

QString SpreadsheetWorkbook::save(const ProgressCheck& waiting)
{
    // Closing frees the workbook whether or not the file could be written.
    auto closing = std::async(std::launch::async,
                              [workbook = std::exchange(workbook_, nullptr)] { return workbook_close(workbook); });
    sheet_ = nullptr;
    bool stop = false;
    do {
        stop = stop || (waiting && !waiting(0));
    } while (closing.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready);
    check(closing.get());
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
