#include "importing/xlsxsheet.h"

#include "base/failure.h"
#include "importing/xlsxnumbers.h"
#include "importing/xlsxxml.h"

using namespace Qt::StringLiterals;

namespace {

// Column XFD, the last a spreadsheet has.
constexpr int lastColumn = 16384;

enum class CellType { Number, SharedString, InlineString, FormulaString, Boolean, Error };

CellType typeOf(QStringView type)
{
    if (type == u"s")
        return CellType::SharedString;
    if (type == u"inlineStr")
        return CellType::InlineString;
    if (type == u"b")
        return CellType::Boolean;
    if (type == u"e")
        return CellType::Error;
    // "str", and "d" with its ISO date, are texts as they stand.
    if (type == u"str" || type == u"d")
        return CellType::FormulaString;
    return CellType::Number;
}

// The column of a reference such as "AB12", counted from 0; -1 when it names none.
int columnOf(QStringView reference)
{
    int column = 0;
    qsizetype letters = 0;
    for (; letters < reference.size() && letters < 3; ++letters) {
        const char16_t c = reference[letters].toUpper().unicode();
        if (c < u'A' || c > u'Z')
            break;
        column = column * 26 + (c - u'A' + 1);
    }
    const bool digitsFollow = letters < reference.size() && reference[letters].isDigit();
    return letters > 0 && digitsFollow && column <= lastColumn ? column - 1 : -1;
}

class SheetReader
{
public:
    SheetReader(XlsxMember file, const SheetContext& context, SheetTextCount& count)
        : xml_(std::move(file), u"sheet"_s), context_(context), count_(count)
    {
    }

    ImportTable read();

private:
    void startRow();
    void readCell();
    QString textOf(CellType type, const QString& value, int style);
    QString numberTextOf(const QString& value, int style) const;
    void place(QString text);

    WorkbookXmlReader xml_;
    const SheetContext& context_;
    SheetTextCount& count_;
    ImportTable table_;
    int row_ = -1;
    int column_ = -1;
    qsizetype cells_ = 0;
};

ImportTable SheetReader::read()
{
    bool inSheetData = false;
    while (!xml_.atEnd()) {
        const auto token = xml_.readNext();
        if (token == QXmlStreamReader::EndElement && xml_.name() == u"sheetData")
            inSheetData = false;
        if (token != QXmlStreamReader::StartElement)
            continue;
        if (xml_.name() == u"sheetData")
            inSheetData = true;
        else if (inSheetData && xml_.name() == u"row")
            startRow();
        else if (inSheetData && xml_.name() == u"c")
            readCell();
    }
    xml_.finish();
    return std::move(table_);
}

void SheetReader::startRow()
{
    const QXmlStreamAttributes attributes = xml_.attributes();
    const QStringView number = attributes.value("r"_L1);
    column_ = -1;
    if (number.isEmpty()) {
        ++row_;
    } else {
        bool ok = false;
        row_ = number.toInt(&ok) - 1;
        if (!ok || row_ < 0) {
            xml_.raiseError(u"the row number \"%1\" is not valid"_s.arg(number));
            return;
        }
    }
    ensure(row_ < sheetRowLimit, u"The sheet has more than 2,000,000 rows."_s);
}

void SheetReader::readCell()
{
    const QXmlStreamAttributes attributes = xml_.attributes();
    const QStringView reference = attributes.value("r"_L1);
    column_ = reference.isEmpty() ? column_ + 1 : columnOf(reference);
    if (column_ < 0) {
        xml_.raiseError(u"the cell reference \"%1\" is not valid"_s.arg(reference));
        return;
    }
    const CellType type = typeOf(attributes.value("t"_L1));
    const int style = attributes.value("s"_L1).toInt();
    QString value;
    while (xml_.readNextStartElement()) {
        // A formula (<f>) is never evaluated: its last result (<v>) is the cell's value.
        if (xml_.name() == u"v") {
            value.clear();
            appendElementText(xml_, value);
        } else if (xml_.name() == u"is") {
            value = readRichText(xml_);
        } else {
            xml_.skipCurrentElement();
        }
    }
    if (!value.isEmpty() && !xml_.hasError())
        place(textOf(type, value, style));
}

QString SheetReader::textOf(CellType type, const QString& value, int style)
{
    switch (type) {
    case CellType::SharedString: {
        bool ok = false;
        const qsizetype index = value.toLongLong(&ok);
        if (!ok || index < 0 || index >= context_.sharedStrings.size()) {
            xml_.raiseError(u"a cell refers to shared text %1, which the workbook does not hold"_s.arg(value));
            return {};
        }
        return context_.sharedStrings[index];
    }
    case CellType::InlineString:
    case CellType::Error:
        return value;
    case CellType::FormulaString:
        return decodeEscapes(value);
    case CellType::Boolean:
        return value == u"1" ? u"TRUE"_s : value == u"0" ? u"FALSE"_s : value;
    case CellType::Number:
        return numberTextOf(value, style);
    }
    return value;
}

QString SheetReader::numberTextOf(const QString& value, int style) const
{
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (!ok)
        return value;
    const NumberKind kind = style >= 0 && size_t(style) < context_.cellKinds.size() ? context_.cellKinds[size_t(style)]
                                                                                    : NumberKind::Number;
    switch (kind) {
    case NumberKind::Date:
        return serialDateText(number, context_.date1904);
    case NumberKind::Time:
        return serialTimeText(number);
    case NumberKind::Number:
        break;
    }
    return numberText(number);
}

// Only cells with a text take room: styled empty cells and rows at the end leave no empty columns.
void SheetReader::place(QString text)
{
    if (text.isEmpty())
        return;
    if (text.size() > cellTextLimit)
        throw cellTextTooLong(xml_.what());
    count_.add(text.size());
    ensure(column_ < importColumnLimit, u"The sheet has more than %1 columns."_s.arg(importColumnLimit));
    const int row = std::max(row_, 0);
    while (table_.rows.size() <= row)
        table_.rows.append(QStringList());
    QStringList& cells = table_.rows[row];
    if (cells.size() <= column_) {
        cells_ += column_ + 1 - cells.size();
        ensureCellCount(cells_);
        cells.resize(column_ + 1);
    }
    cells[column_] = std::move(text);
}

} // namespace

ImportTable readSheet(XlsxMember file, const SheetContext& context, SheetTextCount& count)
{
    return SheetReader(std::move(file), context, count).read();
}
