// Statements and workbooks read into rows of texts: text encodings, CSV and .xlsx files.
#include "base/failure.h"
#include "importing/csvreader.h"
#include "importing/importfile.h"
#include "importing/xlsxarchive.h"
#include "importing/xlsxreader.h"
#include "importing/xlsxtextlimits.h"
#include "support/printers.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <xlsxwriter.h>
#include <zip.h>

using namespace Qt::StringLiterals;

namespace {

// The user-facing text of the Failure that `action` throws; empty when it throws none.
template <typename Action> QString failureOf(Action&& action)
{
    try {
        action();
    } catch (const Failure& failure) {
        return failure.description();
    }
    return {};
}

// The whole of a file in the archive, as the import unpacks it; nothing when there is none.
std::optional<QByteArray> unpacked(const XlsxArchive& archive, const QString& name, qint64 limit = importSizeLimit)
{
    auto file = archive.open(name, limit);
    if (!file)
        return std::nullopt;
    QByteArray bytes;
    for (QByteArray piece = file->read(); !piece.isEmpty(); piece = file->read())
        bytes += piece;
    return bytes;
}

QList<QStringList> csvRows(QByteArrayView bytes, QChar delimiter = u',')
{
    return readCsv(bytes, CsvOptions{delimiter, TextEncoding::Utf8}).rows;
}

QByteArray fieldsLine(int fields)
{
    QByteArrayList line;
    for (int i = 0; i < fields; ++i)
        line.append(QByteArray::number(i));
    return line.join(',') + '\n';
}

class ImportFileTest : public testing::Test
{
protected:
    QString path(const QString& name) const { return folder_.filePath(name); }

    void write(const QString& name, const QByteArray& bytes) const
    {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    // A zip archive of the given files, written with libzip; stored rather than compressed when asked.
    void writeZip(const QString& name, const std::vector<std::pair<const char*, QByteArray>>& files,
                  bool stored = false) const
    {
        int error = 0;
        zip_t* archive = zip_open(QFile::encodeName(path(name)).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
        ASSERT_NE(archive, nullptr) << error;
        for (const auto& [file, bytes] : files) {
            zip_source_t* source = zip_source_buffer(archive, bytes.constData(), zip_uint64_t(bytes.size()), 0);
            const zip_int64_t index = zip_file_add(archive, file, source, ZIP_FL_OVERWRITE);
            ASSERT_GE(index, 0) << zip_strerror(archive);
            if (stored) {
                ASSERT_EQ(zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_STORE, 0), 0);
            }
        }
        ASSERT_EQ(zip_close(archive), 0) << zip_strerror(archive);
    }

    // A hand-made workbook whose first sheet is `sheet`, with shared texts and styles if given.
    void writeWorkbook(const QString& name, const QByteArray& sheet, const QByteArray& sharedStrings = {},
                       const QByteArray& styles = {}) const
    {
        std::vector<std::pair<const char*, QByteArray>> files{
            {"xl/workbook.xml", R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheets>
<sheet name="One" sheetId="1"/></sheets></workbook>)"},
            {"xl/worksheets/sheet1.xml", sheet}};
        if (!sharedStrings.isEmpty())
            files.emplace_back("xl/sharedStrings.xml", sharedStrings);
        if (!styles.isEmpty())
            files.emplace_back("xl/styles.xml", styles);
        writeZip(name, files);
    }

    // The workbook's xl/workbook.xml with `from` replaced by `to`, put back with libzip.
    void editWorkbookXml(const QString& name, const QByteArray& from, const QByteArray& to) const
    {
        const auto xml = unpacked(XlsxArchive(readImportBytes(path(name)), name), u"xl/workbook.xml"_s);
        ASSERT_TRUE(xml && xml->contains(from));
        const QByteArray edited = QByteArray(*xml).replace(from, to);
        int error = 0;
        zip_t* archive = zip_open(QFile::encodeName(path(name)).constData(), 0, &error);
        ASSERT_NE(archive, nullptr) << error;
        zip_source_t* source = zip_source_buffer(archive, edited.constData(), zip_uint64_t(edited.size()), 0);
        ASSERT_GE(zip_file_add(archive, "xl/workbook.xml", source, ZIP_FL_OVERWRITE), 0) << zip_strerror(archive);
        ASSERT_EQ(zip_close(archive), 0) << zip_strerror(archive);
    }

    QString failureReading(const QString& name) const
    {
        return failureOf([&] { readXlsx(path(name)); });
    }

    QString shown(const QString& name) const { return QDir::toNativeSeparators(path(name)); }

private:
    QTemporaryDir folder_;
};

// Cells as libxlsxwriter writes them, in its usual mode with shared texts and in its constant-memory
// mode with inline ones.
class WrittenWorkbookTest : public ImportFileTest, public testing::WithParamInterface<bool>
{
protected:
    QString writeSample() const
    {
        const QString file = path(u"sample.xlsx"_s);
        lxw_workbook_options options{};
        options.constant_memory = GetParam();
        lxw_workbook* book = workbook_new_opt(QFile::encodeName(file).constData(), &options);
        lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
        lxw_format* date = workbook_add_format(book);
        format_set_num_format(date, "dd.mm.yyyy");
        lxw_format* dateTime = workbook_add_format(book);
        format_set_num_format_index(dateTime, 22);
        lxw_format* time = workbook_add_format(book);
        format_set_num_format(time, "hh:mm");
        lxw_format* elapsed = workbook_add_format(book);
        format_set_num_format(elapsed, "[h]:mm");
        lxw_format* days = workbook_add_format(book);
        format_set_num_format(days, "0 \"days\"");

        worksheet_write_string(sheet, 0, 0, "Text", nullptr);
        worksheet_write_number(sheet, 0, 1, 12.5, nullptr);
        worksheet_write_number(sheet, 0, 2, 1234.56, nullptr);
        worksheet_write_boolean(sheet, 0, 3, 1, nullptr);
        worksheet_write_boolean(sheet, 0, 4, 0, nullptr);
        worksheet_write_number(sheet, 0, 5, 45365, date);
        worksheet_write_number(sheet, 0, 6, 45365.75, dateTime);
        worksheet_write_formula_num(sheet, 0, 7, "=1+2", nullptr, 3);
        worksheet_write_string(sheet, 0, 8, "a\x01z", nullptr);
        worksheet_write_string(sheet, 0, 9, "_x005F_x0041_", nullptr);
        worksheet_write_string(sheet, 2, 0, "after a gap", nullptr);
        worksheet_write_number(sheet, 2, 2, 0.75, time);
        worksheet_write_number(sheet, 2, 3, 1.5, elapsed);
        worksheet_write_number(sheet, 2, 4, 7, days);
        worksheet_write_number(sheet, 2, 5, 1e6, nullptr);
        worksheet_write_number(sheet, 2, 6, -45.2, nullptr);
        worksheet_write_number(sheet, 2, 7, 59, date);
        worksheet_write_number(sheet, 2, 8, 60, date);
        worksheet_write_number(sheet, 2, 9, 61, date);
        worksheet_write_number(sheet, 3, 0, 43903, date);
        worksheet_write_number(sheet, 3, 1, 0, date);
        EXPECT_EQ(workbook_close(book), LXW_NO_ERROR);
        return file;
    }
};

} // namespace

TEST(TextEncoding, TellsUtf8FromTheWindowsAndLatinCodePages)
{
    EXPECT_EQ(detectEncoding("\xEF\xBB\xBFM\xC3\xBCller"), TextEncoding::Utf8);
    EXPECT_EQ(detectEncoding("M\xC3\xBCller, Stra\xC3\x9F"
                             "e 5 \xE2\x82\xAC \xF0\x9F\x98\x80"),
              TextEncoding::Utf8);
    EXPECT_EQ(detectEncoding("plain ASCII"), TextEncoding::Utf8);
    EXPECT_EQ(detectEncoding("M\xFCller \x80 5"), TextEncoding::Windows1252);
    EXPECT_EQ(detectEncoding("Gr\xFC\xDF"
                             "e"),
              TextEncoding::Latin1);
    // Overlong forms, surrogates, code points beyond U+10FFFF and a cut sequence are not UTF-8.
    for (const QByteArrayView bytes : {"\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "ab\xC3",
                                       "0123456789abcdef\xFF", "\xC3\xBC\xBC"})
        EXPECT_NE(detectEncoding(bytes), TextEncoding::Utf8) << bytes.toByteArray().toHex().toStdString();
}

// Each encoding as the import meets it: detected, then read with the delimiter found in the decoded text.
TEST(TextEncoding, DetectsEachEncodingAndReadsItsText)
{
    const QString latin = u"Name\tBetrag\r\nMüller\t1,50\r\nCafé\t2,00\r\n"_s;
    const QString euro = QString(latin).replace(u"2,00"_s, u"2,00 €"_s);
    const auto rows = [](const QString& last) {
        return QList<QStringList>{{u"Name"_s, u"Betrag"_s}, {u"Müller"_s, u"1,50"_s}, {u"Café"_s, last}};
    };
    const auto encoded = [](const QString& text, QStringConverter::Encoding encoding, bool mark) {
        QStringEncoder encoder(encoding, mark ? QStringConverter::Flag::WriteBom : QStringConverter::Flag::Default);
        return QByteArray(encoder(text));
    };
    struct Case
    {
        const char* name;
        QByteArray bytes;
        TextEncoding encoding;
        QString last; // the text of the last cell
    };
    const Case cases[] = {
        {"UTF-16 LE with a byte order mark", encoded(euro, QStringConverter::Utf16LE, true), TextEncoding::Utf16LE,
         u"2,00 €"_s},
        {"UTF-16 BE with a byte order mark", encoded(euro, QStringConverter::Utf16BE, true), TextEncoding::Utf16BE,
         u"2,00 €"_s},
        {"UTF-16 LE without one", encoded(latin, QStringConverter::Utf16LE, false), TextEncoding::Utf16LE, u"2,00"_s},
        {"UTF-16 BE without one", encoded(latin, QStringConverter::Utf16BE, false), TextEncoding::Utf16BE, u"2,00"_s},
        {"UTF-8 with a byte order mark", encoded(euro, QStringConverter::Utf8, true), TextEncoding::Utf8, u"2,00 €"_s},
        {"UTF-8 without one", euro.toUtf8(), TextEncoding::Utf8, u"2,00 €"_s},
        {"Windows-1252", latin.toLatin1().replace("2,00", "2,00 \x80"), TextEncoding::Windows1252, u"2,00 €"_s},
        {"Latin-1", latin.toLatin1(), TextEncoding::Latin1, u"2,00"_s},
    };
    for (const auto& [name, bytes, encoding, last] : cases) {
        const CsvOptions options = detectCsvOptions(bytes);
        EXPECT_EQ(options.encoding, encoding) << name;
        EXPECT_EQ(options.delimiter, u'\t') << name;
        EXPECT_EQ(readCsv(bytes, options).rows, rows(last)) << name;
    }

    // Zero bytes in any other pattern than every second one are no text in any encoding.
    QByteArray elf(4096, '\0');
    elf.prepend("\x7F"
                "ELF\x02\x01\x01");
    const QByteArray utf32 = encoded(latin, QStringConverter::Utf32LE, true);
    for (const QByteArray& bytes : {elf, utf32}) {
        EXPECT_EQ(failureOf([&] { readCsv(bytes, detectCsvOptions(bytes)); }), u"The file is not a text file.")
            << bytes.first(8).toHex().toStdString();
    }
}

TEST(TextEncoding, DecodesEachEncodingByItsOwnTable)
{
    EXPECT_EQ(decodeText("\xEF\xBB\xBFM\xC3\xBCller", TextEncoding::Utf8), u"Müller");
    EXPECT_EQ(decodeText("a\xFF"
                         "b",
                         TextEncoding::Utf8),
              u"a\uFFFDb");
    EXPECT_EQ(decodeText("M\xFCller \x80 \x8A\x93\x94\x9F", TextEncoding::Windows1252), u"Müller € Š“”Ÿ");
    // Bytes Windows-1252 leaves undefined are marked as unreadable, not passed on as control codes.
    EXPECT_EQ(decodeText("\x81\x8D\x8F\x90\x9D", TextEncoding::Windows1252), u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(decodeText("Gr\xFC\xDF"
                         "e \x80",
                         TextEncoding::Latin1),
              u"Grüße \u0080");
    // UTF-16: a matching byte order mark is dropped, pairs of surrogates make one character, and a
    // surrogate alone or a last odd byte are unreadable.
    EXPECT_EQ(decodeText(QByteArrayView("\xFF\xFE"
                                        "A\0\x3D\xD8\x00\xDE\x00\xD8"
                                        "B\0C",
                                        13),
                         TextEncoding::Utf16LE),
              u"A\U0001F600\uFFFDB\uFFFD");
    EXPECT_EQ(decodeText(QByteArrayView("\xFE\xFF\0A\xD8\x3D\xDE\x00\xDE\x00\0B\0", 13), TextEncoding::Utf16BE),
              u"A\U0001F600\uFFFDB\uFFFD");
}

TEST(CsvReading, QuotedFieldsHoldQuotesDelimitersAndLineBreaks)
{
    EXPECT_EQ(csvRows("a,\"b \"\"c\"\", d\",\"line 1\r\nline 2\nline 3\"\n"
                      "\"\",\"  spaced  \", x \"y\" ,\"quoted\" tail\n"),
              (QList<QStringList>{{u"a"_s, u"b \"c\", d"_s, u"line 1\r\nline 2\nline 3"_s},
                                  {u""_s, u"  spaced  "_s, u"x \"y\""_s, u"quotedtail"_s}}));
}

TEST(CsvReading, AnyLineBreakEndsARecordAndBlankLinesAreSkipped)
{
    EXPECT_EQ(csvRows("a,b\r\nc,d\ne,f\rg,h\r\n\r\n   \n\n\"\"\ni, j ,\n"),
              (QList<QStringList>{
                  {u"a"_s, u"b"_s}, {u"c"_s, u"d"_s}, {u"e"_s, u"f"_s}, {u"g"_s, u"h"_s}, {u"i"_s, u"j"_s, u""_s}}));
    EXPECT_EQ(csvRows("a\tb c\t\"d\te\"", u'\t'), (QList<QStringList>{{u"a"_s, u"b c"_s, u"d\te"_s}}));
    EXPECT_TRUE(csvRows("").isEmpty());
}

TEST(CsvReading, EachRowKeepsTheLineItStartsOnAsAnEditorCountsThem)
{
    // Blank lines and line breaks inside quotes (CRLF, LF or a lone CR) are lines of their own.
    const ImportTable table = readCsv("\r\nDate,Reason\n\"Rent\r\nJanuary\",x\n\n  \n\"a\rb\",c\rlast,row\n",
                                      CsvOptions{u',', TextEncoding::Utf8});
    ASSERT_EQ(table.rows.size(), 4);
    EXPECT_EQ(table.lines, (QList<int>{2, 3, 7, 9}));
    struct Case
    {
        int line;
        int row;
    };
    for (const auto& [line, row] : {Case{0, -1}, Case{1, -1}, Case{2, 0}, Case{3, 1}, Case{4, 1}, Case{6, 1},
                                    Case{7, 2}, Case{9, 3}, Case{99, 3}})
        EXPECT_EQ(table.rowAt(line), row) << line;
    EXPECT_EQ(table.lineOf(1), 3);
    EXPECT_EQ(table.lineOf(-1), 0) << "no row";

    // A sheet's rows are its lines, the empty ones included.
    const ImportTable sheet{{{u"a"_s}, {}, {u"b"_s}}};
    EXPECT_EQ(sheet.lineOf(2), 3);
    for (const auto& [line, row] : {Case{0, -1}, Case{1, 0}, Case{2, 1}, Case{3, 2}, Case{99, 2}})
        EXPECT_EQ(sheet.rowAt(line), row) << line;
}

TEST(CsvReading, SaysWhereAQuoteIsLeftOpen)
{
    EXPECT_EQ(failureOf([] { csvRows("x\n\"multi\nline\",ok\n\n\"open,\nmore"); }),
              u"The file ends inside a quoted field that starts on line 5.");
    EXPECT_EQ(failureOf([] { csvRows("x\r\n\"a\r\nb\"\r\ny,\"open"); }),
              u"The file ends inside a quoted field that starts on line 4.");
    EXPECT_EQ(failureOf([] { csvRows("a,\"b\"\"\n"); }), u"The file ends inside a quoted field that starts on line 1.");
}

TEST(CsvReading, RefusesBinaryFilesAndOverlongLines)
{
    EXPECT_EQ(failureOf([] { csvRows(QByteArrayView("Date,Amount\n\0\x01\x02", 16)); }),
              u"The file is not a text file.");
    // Read as UTF-8, UTF-16's zero bytes give it away; read as UTF-16, it is text.
    const QByteArrayView utf16("\xFF\xFE"
                               "D\0a\0t\0e\0",
                               10);
    EXPECT_EQ(failureOf([&] { csvRows(utf16); }), u"The file is not a text file.");
    EXPECT_EQ(readCsv(utf16, CsvOptions{u',', TextEncoding::Utf16LE}).rows, QList<QStringList>{{u"Date"_s}});

    EXPECT_EQ(csvRows(fieldsLine(importColumnLimit)).front().size(), importColumnLimit);
    EXPECT_EQ(failureOf([] { csvRows("a\n\"b\nc\"\n" + fieldsLine(importColumnLimit + 1)); }),
              u"Line 4 has more than 1000 columns.");
}

TEST(CsvDetection, FindsTheDelimiterThatSplitsTheLinesAlike)
{
    EXPECT_EQ(
        detectCsvOptions("Date,Amount,Reason\n2024-01-02,12.50,\"Rent; March\"\n2024-01-03,-4.20,Bakery\n").delimiter,
        u',');
    EXPECT_EQ(detectCsvOptions("Date\tAmount\tReason\n02.01.2024\t12,50\tRent, March\n03.01.2024\t-4,20\tBakery, "
                               "Main Street, corner\n")
                  .delimiter,
              u'\t');
    EXPECT_EQ(detectCsvOptions("Date|Amount|Reason\n2024-01-02|12.50|Rent\n").delimiter, u'|');
    // Quoted delimiters do not split.
    EXPECT_EQ(detectCsvOptions("\"x;y;z\",1\n\"p;q;r\",2\n\"s;t\",3\n").delimiter, u',');
}

TEST(CsvDetection, DecimalCommasDoNotPassForDelimiters)
{
    // Every data line holds exactly one comma, as often as semicolons a naive count would weigh less.
    const QByteArray statement = "Kontonummer;123456789\n"
                                 "Zeitraum;01.01.2024 - 31.01.2024\n"
                                 "Buchungstag;Text;Betrag\n"
                                 "02.01.2024;Miete;-650,00\n"
                                 "03.01.2024;Strom;-84,00\n"
                                 "04.01.2024;Gehalt;2.450,00\n";
    EXPECT_EQ(detectCsvOptions(statement).delimiter, u';');
    EXPECT_EQ(detectCsvOptions("02.01.2024;-650,00;1.234,00\n03.01.2024;-84,00;1.150,00\n").delimiter, u';');
}

TEST(CsvDetection, TheTestStatementsAreReadAsTheyWereWritten)
{
    struct Expected
    {
        QString file;
        QChar delimiter;
        TextEncoding encoding;
    };
    for (const auto& [file, delimiter, encoding] :
         {Expected{u"semicolon_decimal_comma.csv"_s, u';', TextEncoding::Utf8},
          Expected{u"separate_in_out.csv"_s, u',', TextEncoding::Utf8},
          Expected{u"windows1252_umlauts.csv"_s, u';', TextEncoding::Windows1252},
          Expected{u"header_on_third_line.csv"_s, u';', TextEncoding::Utf8}}) {
        const QByteArray bytes = readImportBytes(QStringLiteral(QUORVANE_SOURCE_DIR "/tests/data/import/") + file);
        const CsvOptions options = detectCsvOptions(bytes);
        EXPECT_EQ(options.delimiter, delimiter) << file.toStdString();
        EXPECT_EQ(options.encoding, encoding) << file.toStdString();
    }
}

TEST_F(ImportFileTest, FormatsGoBySuffixInAnyCase)
{
    EXPECT_EQ(importFormatOf(u"/home/u/Statement.CSV"_s), ImportFormat::Csv);
    EXPECT_EQ(importFormatOf(u"a.b/export.tsv"_s), ImportFormat::Csv);
    EXPECT_EQ(importFormatOf(u"umsaetze.txt"_s), ImportFormat::Csv);
    EXPECT_EQ(importFormatOf(u"Ledger.XlSx"_s), ImportFormat::Xlsx);
    EXPECT_EQ(importFormatOf(u"old.xls"_s), std::nullopt);
    EXPECT_EQ(importFormatOf(u"csv"_s), std::nullopt);
    EXPECT_EQ(importFormatOf(u"statement.csv.pdf"_s), std::nullopt);
}

TEST_F(ImportFileTest, RefusesFilesItCannotReadAndOverlargeOnes)
{
    EXPECT_TRUE(failureOf([&] {
                    readImportBytes(path(u"missing.csv"_s));
                }).startsWith(u"The file '"_s + shown(u"missing.csv"_s) + u"' cannot be read: "_s));

    write(u"huge.csv"_s, "Date,Amount\n");
    QFile huge(path(u"huge.csv"_s));
    ASSERT_TRUE(huge.resize(importSizeLimit + 1));
    EXPECT_EQ(failureOf([&] { readImportBytes(huge.fileName()); }),
              u"The file '"_s + shown(u"huge.csv"_s) + u"' is larger than 256 MB, more than can be imported."_s);
}

TEST_P(WrittenWorkbookTest, ReadsEveryKindOfCellAsText)
{
    const QString file = writeSample();
    EXPECT_EQ(readXlsx(file).rows,
              (QList<QStringList>{{u"Text"_s, u"12.5"_s, u"1234.56"_s, u"TRUE"_s, u"FALSE"_s, u"2024-03-14"_s,
                                   u"2024-03-14"_s, u"3"_s, u"a\u0001z"_s, u"_x0041_"_s},
                                  {},
                                  {u"after a gap"_s, u""_s, u"18:00:00"_s, u"1.5"_s, u"7"_s, u"1000000"_s, u"-45.2"_s,
                                   u"1900-02-28"_s, u"1900-02-29"_s, u"1900-03-01"_s},
                                  {u"2020-03-13"_s, u"0"_s}}));

    // The same serials count from 1904 in a workbook that says so.
    editWorkbookXml(u"sample.xlsx"_s, "<workbookPr", "<workbookPr date1904=\"1\"");
    const QList<QStringList> rows = readXlsx(file).rows;
    ASSERT_EQ(rows.size(), 4);
    EXPECT_EQ(rows[0][5], u"2028-03-15");
    EXPECT_EQ(rows[3], (QStringList{u"2024-03-14"_s, u"1904-01-01"_s}));
}

TEST_P(WrittenWorkbookTest, ReadsASheetUnpackedInManyPiecesWhole)
{
    // Far more than one piece of the unpacking, with characters of up to four bytes wherever a piece ends.
    const QString file = path(u"long.xlsx"_s);
    lxw_workbook_options options{};
    options.constant_memory = GetParam();
    lxw_workbook* book = workbook_new_opt(QFile::encodeName(file).constData(), &options);
    lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
    QList<QStringList> expected;
    for (int row = 0; row < 3000; ++row) {
        const QString text = u"Müller € 😀 & <%1> \u0001"_s.arg(row);
        worksheet_write_string(sheet, lxw_row_t(row), 0, text.toUtf8().constData(), nullptr);
        worksheet_write_number(sheet, lxw_row_t(row), 1, row + 0.25, nullptr);
        expected.append({text, QString::number(row) + u".25"_s});
    }
    ASSERT_EQ(workbook_close(book), LXW_NO_ERROR);
    EXPECT_EQ(readXlsx(file).rows, expected);
}

INSTANTIATE_TEST_SUITE_P(SharedAndInlineTexts, WrittenWorkbookTest, testing::Bool());

TEST_F(ImportFileTest, ReadsTheFirstShownSheetWithItsTextsAndStyles)
{
    writeZip(
        u"made.xlsx"_s,
        {{"xl/workbook.xml",
          R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"
          xmlns:rel="http://schemas.openxmlformats.org/officeDocument/2006/relationships">
<workbookPr date1904="true"/>
<sheets><sheet name="Notes" sheetId="1" state="hidden" rel:id="rId7"/><sheet name="Data" sheetId="2" rel:id="rId3"/></sheets>
</workbook>)"},
         {"xl/_rels/workbook.xml.rels",
          R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
<Relationship Id="rId7" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>
<Relationship Id="rId3" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="/xl/worksheets/data.xml"/>
<Relationship Id="rId4" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="strings.xml"/>
<Relationship Id="rId5" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="../xl/looks.xml"/>
</Relationships>)"},
         {"xl/strings.xml", R"(<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">
<si><t>plain</t></si>
<si><r><rPr><b/></rPr><t>rich </t></r><r><t xml:space="preserve">text</t></r><rPh sb="0" eb="1"><t>guide</t></rPh></si>
<si><t>line_x000D_
two</t></si>
</sst>)"},
         {"xl/looks.xml", R"(<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">
<numFmts count="3"><numFmt numFmtId="164" formatCode="[$-407]dd/mm/yyyy;@"/><numFmt numFmtId="165" formatCode="[h]:mm"/>
<numFmt numFmtId="166" formatCode="0.00 &quot;days&quot;"/></numFmts>
<cellStyleXfs count="1"><xf numFmtId="14"/></cellStyleXfs>
<cellXfs count="5"><xf numFmtId="0"/><xf numFmtId="164"/><xf numFmtId="165"/><xf numFmtId="166"/><xf numFmtId="14"><alignment/></xf></cellXfs>
</styleSheet>)"},
         {"xl/worksheets/sheet1.xml", R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">
<sheetData><row r="1"><c t="inlineStr"><is><t>hidden</t></is></c></row></sheetData></worksheet>)"},
         {"xl/worksheets/data.xml", R"(<x:worksheet xmlns:x="http://schemas.openxmlformats.org/spreadsheetml/2006/main">
<x:sheetData>
<x:row r="1"><x:c t="s"><x:v>0</x:v></x:c><x:c t="s"><x:v>1</x:v></x:c><x:c r="D1" t="inlineStr"><x:is><x:r><x:t>in</x:t></x:r><x:r><x:t>line</x:t></x:r></x:is></x:c><x:c t="s"><x:v>2</x:v></x:c></x:row>
<x:row r="3"><x:c r="A3" s="1"><x:v>43903</x:v></x:c><x:c s="2"><x:v>1.5</x:v></x:c><x:c s="3"><x:v>2</x:v></x:c><x:c s="4"><x:v>0.25</x:v></x:c><x:c r="F3" t="str"><x:f>A1&amp;"!"</x:f><x:v>plain!</x:v></x:c><x:c t="e"><x:f>1/0</x:f><x:v>#DIV/0!</x:v></x:c><x:c s="0"><x:v>42</x:v></x:c><x:c r="J3" s="3"/></x:row>
<x:row><x:c><x:v>1e-7</x:v></x:c><x:c t="d"><x:v>2024-03-14T00:00:00</x:v></x:c><x:c t="b"><x:v>1</x:v></x:c><x:c><x:v>0.30000000000000004</x:v></x:c></x:row>
</x:sheetData></x:worksheet>)"}});
    EXPECT_EQ(readXlsx(path(u"made.xlsx"_s)).rows,
              (QList<QStringList>{
                  {u"plain"_s, u"rich text"_s, u""_s, u"inline"_s, u"line\r\ntwo"_s},
                  {},
                  {u"2024-03-14"_s, u"1.5"_s, u"2"_s, u"1904-01-01"_s, u""_s, u"plain!"_s, u"#DIV/0!"_s, u"42"_s},
                  {u"0.0000001"_s, u"2024-03-14T00:00:00"_s, u"TRUE"_s, u"0.30000000000000004"_s}}));
}

TEST_F(ImportFileTest, SaysWhatIsWrongWithAWorkbook)
{
    write(u"text.xlsx"_s, "Date,Amount\n2024-01-02,12.50\n");
    EXPECT_EQ(failureReading(u"text.xlsx"_s),
              u"The file '"_s + shown(u"text.xlsx"_s) + u"' is not an Excel workbook (.xlsx)."_s);
    writeZip(u"other.xlsx"_s, {{"readme.txt", "not a workbook"}});
    EXPECT_EQ(failureReading(u"other.xlsx"_s),
              u"The file '"_s + shown(u"other.xlsx"_s) + u"' is not an Excel workbook (.xlsx)."_s);
    write(u"old.xlsx"_s, QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1") + QByteArray(504, '\0'));
    EXPECT_TRUE(failureReading(u"old.xlsx"_s).contains(u"protected by a password or is an old Excel workbook (.xls)"));

    writeWorkbook(u"broken.xlsx"_s, "<worksheet><sheetData>\n<row r=\"1\">\n<c><v>1</v></row>");
    const QString broken = failureReading(u"broken.xlsx"_s);
    EXPECT_TRUE(broken.startsWith(u"The workbook's sheet cannot be read: ") && broken.endsWith(u" (line 3)."))
        << broken.toStdString();
    writeWorkbook(u"dangling.xlsx"_s,
                  R"(<worksheet><sheetData><row><c t="s"><v>1</v></c></row></sheetData></worksheet>)",
                  "<sst><si><t>only one</t></si></sst>");
    EXPECT_EQ(failureReading(u"dangling.xlsx"_s), u"The workbook's sheet cannot be read: a cell refers to shared text "
                                                  "1, which the workbook does not hold (line 1).");
    writeWorkbook(u"badstyles.xlsx"_s, "<worksheet/>", {}, "<styleSheet><cellXfs>");
    EXPECT_TRUE(failureReading(u"badstyles.xlsx"_s).startsWith(u"The workbook's styles cannot be read: "));
}

TEST_F(ImportFileTest, RefusesDamagedEncryptedAndOverlargeContents)
{
    const QByteArray sheet = R"(<worksheet><sheetData><row><c t="inlineStr"><is><t>MARKER</t></is></c></row>
</sheetData></worksheet>)";
    writeZip(u"damaged.xlsx"_s, {{"xl/workbook.xml", "<workbook/>"}, {"xl/worksheets/sheet1.xml", sheet}}, true);
    ASSERT_EQ(readXlsx(path(u"damaged.xlsx"_s)).rows, (QList<QStringList>{{u"MARKER"_s}}));
    const QByteArray bytes = readImportBytes(path(u"damaged.xlsx"_s));
    write(u"damaged.xlsx"_s, QByteArray(bytes).replace("MARKER", "MARKEX"));
    EXPECT_EQ(failureReading(u"damaged.xlsx"_s),
              u"The workbook '"_s + shown(u"damaged.xlsx"_s) + u"' is damaged: CRC error."_s);

    {
        int error = 0;
        zip_t* archive =
            zip_open(QFile::encodeName(path(u"encrypted.xlsx"_s)).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
        ASSERT_NE(archive, nullptr);
        zip_source_t* source = zip_source_buffer(archive, sheet.constData(), zip_uint64_t(sheet.size()), 0);
        const zip_int64_t index = zip_file_add(archive, "xl/workbook.xml", source, 0);
        ASSERT_GE(index, 0);
        ASSERT_EQ(zip_file_set_encryption(archive, zip_uint64_t(index), ZIP_EM_AES_256, "secret"), 0);
        ASSERT_EQ(zip_close(archive), 0);
    }
    EXPECT_EQ(failureReading(u"encrypted.xlsx"_s),
              u"The workbook '"_s + shown(u"encrypted.xlsx"_s) + u"' is encrypted."_s);

    // A file inside that would unpack beyond the limit is refused, however small the archive.
    writeZip(u"bomb.xlsx"_s, {{"xl/workbook.xml", QByteArray(3 * 1024 * 1024, ' ')}});
    const XlsxArchive bomb(readImportBytes(path(u"bomb.xlsx"_s)), u"bomb.xlsx"_s);
    EXPECT_EQ(failureOf([&] { unpacked(bomb, u"xl/workbook.xml"_s, 2 * 1024 * 1024); }),
              u"The workbook 'bomb.xlsx' unpacks to more than 2 MB, more than can be imported.");
    EXPECT_EQ(unpacked(bomb, u"XL/Workbook.XML"_s, 3 * 1024 * 1024)->size(), 3 * 1024 * 1024);
    EXPECT_FALSE(unpacked(bomb, u"xl/styles.xml"_s).has_value());
}

TEST_F(ImportFileTest, RefusesSheetsTooWideOrTooLong)
{
    writeWorkbook(u"widest.xlsx"_s,
                  R"(<worksheet><sheetData><row><c r="ALL1"><v>1</v></c></row></sheetData></worksheet>)");
    EXPECT_EQ(readXlsx(path(u"widest.xlsx"_s)).rows.front().size(), importColumnLimit);
    writeWorkbook(u"wide.xlsx"_s,
                  R"(<worksheet><sheetData><row><c r="ALM1"><v>1</v></c></row></sheetData></worksheet>)");
    EXPECT_EQ(failureReading(u"wide.xlsx"_s), u"The sheet has more than 1000 columns.");
    writeWorkbook(u"long.xlsx"_s,
                  R"(<worksheet><sheetData><row r="2000001"><c><v>1</v></c></row></sheetData></worksheet>)");
    EXPECT_EQ(failureReading(u"long.xlsx"_s), u"The sheet has more than 2,000,000 rows.");
    writeWorkbook(u"badref.xlsx"_s,
                  R"(<worksheet><sheetData><row><c r="XFE1"><v>1</v></c></row></sheetData></worksheet>)");
    EXPECT_TRUE(failureReading(u"badref.xlsx"_s).contains(u"the cell reference \"XFE1\" is not valid"));
}

TEST_F(ImportFileTest, RefusesDocumentTypesWhoseEntitiesWouldExpand)
{
    // An entity of 4,000 characters named over and over in one text or attribute: files of 2 KB
    // (shared texts) and 5 KB (sheet) that would expand to 2 and 6 billion characters.
    const auto entity = [](const char* root) {
        return "<!DOCTYPE " + QByteArray(root) + " [<!ENTITY e \"" + QByteArray(4000, 'x') + "\">]>";
    };
    const auto named = [](int times) { return QByteArray("&e;").repeated(times); };
    const QByteArray plainSheet = "<worksheet><sheetData/></worksheet>";
    struct Case
    {
        const char* name;
        QByteArray sheet, sharedStrings, styles;
        QString what;
    };
    for (const Case& hostile : {
             Case{"shared.xlsx",
                  plainSheet,
                  entity("sst") + "<sst><si><t>" + named(500'000) + "</t></si></sst>",
                  {},
                  u"shared texts"_s},
             Case{"inline.xlsx",
                  entity("worksheet") + "<worksheet><sheetData><row><c t=\"inlineStr\"><is><t>" + named(1'500'000) +
                      "</t></is></c></row></sheetData></worksheet>",
                  {},
                  {},
                  u"sheet"_s},
             Case{"styles.xlsx",
                  plainSheet,
                  {},
                  entity("styleSheet") + "<styleSheet><numFmts><numFmt numFmtId=\"164\" formatCode=\"" +
                      named(100'000) + "\"/></numFmts></styleSheet>",
                  u"styles"_s},
         }) {
        const QString name = QString::fromLatin1(hostile.name);
        writeWorkbook(name, hostile.sheet, hostile.sharedStrings, hostile.styles);
        EXPECT_EQ(failureReading(name), u"The workbook's "_s + hostile.what +
                                            u" cannot be read: it declares a document type (<!DOCTYPE>), which "
                                            "spreadsheet programs never write."_s);
    }
}

TEST_F(ImportFileTest, RefusesTextsLongerThanACellHolds)
{
    const auto inlineCell = [](const QByteArray& text, const char* type = "inlineStr") {
        const QByteArray value = type == QByteArrayView("inlineStr") ? "<is>" + text + "</is>" : "<v>" + text + "</v>";
        return "<worksheet><sheetData><row><c t=\"" + QByteArray(type) + "\">" + value +
               "</c></row></sheetData></worksheet>";
    };
    const auto t = [](const QByteArray& text) { return "<t>" + text + "</t>"; };
    const QByteArray longest(cellTextLimit, 'x');
    const QByteArray longer = longest + 'x';
    const QByteArray sharedCell = R"(<worksheet><sheetData><row><c t="s"><v>0</v></c></row></sheetData></worksheet>)";
    const QString sheetRefusal =
        u"A text in the workbook's sheet is longer than 32,767 characters, more than a cell can hold."_s;
    struct Case
    {
        const char* name;
        QByteArray sheet, sharedStrings;
        QString refusal; // empty for a cell that reads whole
    };
    for (
        const Case& cell : {
            Case{"longest.xlsx", inlineCell(t(longest)), {}, {}},
            Case{"longer.xlsx", inlineCell(t(longer)), {}, sheetRefusal},
            Case{"runs.xlsx",
                 inlineCell("<r>" + t(longest.first(20'000)) + "</r><r>" + t(longest.first(12'768)) + "</r>"),
                 {},
                 sheetRefusal},
            Case{"formula.xlsx", inlineCell(longer, "str"), {}, sheetRefusal},
            Case{"number.xlsx", inlineCell(QByteArray(cellTextLimit + 1, '1'), "n"), {}, sheetRefusal},
            // Escapes count as the characters they decode to, however long they are as written.
            Case{"escapes.xlsx", inlineCell(t(QByteArray("_x0001_").repeated(cellTextLimit))), {}, {}},
            Case{
                "moreescapes.xlsx", inlineCell(t(QByteArray("_x0001_").repeated(cellTextLimit + 1))), {}, sheetRefusal},
            Case{"shared.xlsx", sharedCell, "<sst><si>" + t(longest) + "</si></sst>", {}},
            Case{
                "longshared.xlsx", sharedCell, "<sst><si>" + t(longer) + "</si></sst>",
                u"A text in the workbook's shared texts is longer than 32,767 characters, more than a cell can hold."_s},
            // A text too long to be a cell's however it decodes is refused as it comes, not first put together.
            Case{"huge.xlsx",
                 inlineCell(t(QByteArray(2 * 1024 * 1024, 'x'))),
                 {},
                 u"The workbook's sheet cannot be read: a piece of it without a break is longer than 1 MB, longer than "
                 "any cell (32,767 characters) or tag."_s},
        }) {
        const QString name = QString::fromLatin1(cell.name);
        writeWorkbook(name, cell.sheet, cell.sharedStrings);
        if (cell.refusal.isEmpty()) {
            const ImportTable table = readXlsx(path(name));
            ASSERT_EQ(table.rows.size(), 1) << cell.name;
            EXPECT_EQ(table.rows.front().front().size(), cellTextLimit) << cell.name;
        } else {
            EXPECT_EQ(failureReading(name), cell.refusal) << cell.name;
        }
    }
}

TEST_F(ImportFileTest, RefusesASheetWhoseTextsTogetherPassTheLimit)
{
    // One shared text as long as a cell holds, counted once as read and again in every cell that shows it.
    const auto write = [&](const QString& name, int cells) {
        QByteArray sheet = "<worksheet><sheetData>";
        for (int row = 0; row * importColumnLimit < cells; ++row) {
            sheet += "<row>";
            for (int column = 0; column < std::min(importColumnLimit, cells - row * importColumnLimit); ++column)
                sheet += R"(<c t="s"><v>0</v></c>)";
            sheet += "</row>";
        }
        writeWorkbook(name, sheet + "</sheetData></worksheet>",
                      "<sst><si><t>" + QByteArray(cellTextLimit, 'x') + "</t></si></sst>");
    };
    const int fitting = int(sheetTextLimit / cellTextLimit) - 1;
    write(u"fits.xlsx"_s, fitting);
    EXPECT_EQ(readXlsx(path(u"fits.xlsx"_s)).rows.last().size(), fitting % importColumnLimit);
    write(u"over.xlsx"_s, fitting + 1);
    EXPECT_EQ(failureReading(u"over.xlsx"_s),
              u"The workbook's sheet holds more than 256,000,000 characters of text, more than can be imported.");
}
