// Writes the seeds of fuzz_xlsxreader with libxlsxwriter, as a spreadsheet program would write them:
//   fuzz_xlsxreader_seeds fuzz/corpus/fuzz_xlsxreader
// A statement with shared texts and with inline ones, one behind a hidden sheet, and rich text.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <cstdio>
#include <xlsxwriter.h>

using namespace Qt::StringLiterals;

namespace {

struct Formats
{
    lxw_format* date;
    lxw_format* amount;
    lxw_format* time;
    lxw_format* elapsed;
};

Formats addFormats(lxw_workbook* book)
{
    const auto format = [book](const char* code) {
        lxw_format* format = workbook_add_format(book);
        format_set_num_format(format, code);
        return format;
    };
    return {format("dd.mm.yyyy"), format("#,##0.00 \"EUR\""), format("hh:mm"), format("[h]:mm")};
}

// A few statement rows: every kind of cell the import reads.
void writeStatement(lxw_worksheet* sheet, const Formats& formats)
{
    const char* const headers[] = {"Buchungstag", "Verwendungszweck", "Betrag", "Gebucht", "Uhrzeit", "Dauer"};
    for (lxw_col_t column = 0; column < 6; ++column)
        worksheet_write_string(sheet, 0, column, headers[column], nullptr);
    worksheet_write_number(sheet, 1, 0, 45365, formats.date);
    worksheet_write_string(sheet, 1, 1, "Bäckerei Müller \"Am Markt\" & Söhne", nullptr);
    worksheet_write_number(sheet, 1, 2, -4.2, formats.amount);
    worksheet_write_boolean(sheet, 1, 3, 1, nullptr);
    worksheet_write_number(sheet, 1, 4, 0.75, formats.time);
    worksheet_write_number(sheet, 1, 5, 1.5, formats.elapsed);
    worksheet_write_number(sheet, 3, 0, 45366, formats.date);
    worksheet_write_string(sheet, 3, 1, "tab\there _x0041_ \x01", nullptr);
    worksheet_write_formula_num(sheet, 3, 2, "=C2*100", formats.amount, -420);
    worksheet_write_formula_str(sheet, 3, 3, "=\"Miete \"&B1", nullptr, "Miete Buchungstag");
    worksheet_write_formula(sheet, 3, 4, "=1/0", nullptr);
    worksheet_write_number(sheet, 3, 5, 1e-7, nullptr);
}

bool writeStatementBook(const QString& path, bool inlineTexts, bool behindHiddenSheet)
{
    lxw_workbook_options options{};
    options.constant_memory = inlineTexts;
    lxw_workbook* book = workbook_new_opt(QFile::encodeName(path).constData(), &options);
    const Formats formats = addFormats(book);
    if (behindHiddenSheet) {
        lxw_worksheet* notes = workbook_add_worksheet(book, "Notes");
        worksheet_write_string(notes, 0, 0, "not imported", nullptr);
        worksheet_hide(notes);
    }
    lxw_worksheet* sheet = workbook_add_worksheet(book, "Umsätze");
    writeStatement(sheet, formats);
    if (behindHiddenSheet)
        worksheet_activate(sheet);
    return workbook_close(book) == LXW_NO_ERROR;
}

bool writeRichTextBook(const QString& path)
{
    lxw_workbook* book = workbook_new(QFile::encodeName(path).constData());
    lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
    lxw_format* bold = workbook_add_format(book);
    format_set_bold(bold);
    lxw_rich_string_tuple plain{nullptr, const_cast<char*>("Rechnung ")};
    lxw_rich_string_tuple number{bold, const_cast<char*>("2024-117")};
    lxw_rich_string_tuple* runs[] = {&plain, &number, nullptr};
    worksheet_write_rich_string(sheet, 0, 0, runs, nullptr);
    worksheet_write_string(sheet, 0, 1, "same text", nullptr);
    worksheet_write_string(sheet, 1, 1, "same text", nullptr);
    return workbook_close(book) == LXW_NO_ERROR;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const bool written = folder.mkpath(u"."_s) &&
                         writeStatementBook(folder.filePath(u"statement_shared_texts"_s), false, false) &&
                         writeStatementBook(folder.filePath(u"statement_inline_texts"_s), true, false) &&
                         writeStatementBook(folder.filePath(u"behind_hidden_sheet"_s), false, true) &&
                         writeRichTextBook(folder.filePath(u"rich_text"_s));
    return written ? 0 : 1;
}
