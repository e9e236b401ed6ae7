#include "importing/importlayout.h"

#include <algorithm>
#include <cmath>
#include <variant>

using namespace Qt::StringLiterals;

namespace {

// Long enough to recognise the cell in the file, short enough for a column of problems.
constexpr qsizetype quotedLength = 30;

// The cells of one row by field: the first filled one for a value, all filled ones for a text.
struct RowCells
{
    QStringView date, amount, in, out, direction;
    QString reason, from, to, method, notes, counterparty;
};

void addText(QString& text, QStringView cell)
{
    if (cell.isEmpty())
        return;
    if (!text.isEmpty())
        text += u' ';
    text += cell;
}

void takeValue(QStringView& value, QStringView cell)
{
    if (value.isEmpty())
        value = cell;
}

RowCells cellsOf(const QStringList& row, const QList<ImportField>& columns)
{
    RowCells cells;
    const qsizetype width = std::min(row.size(), columns.size());
    for (qsizetype c = 0; c < width; ++c) {
        const QStringView cell = QStringView(row[c]).trimmed();
        switch (columns[c]) {
        case ImportField::Ignore:
            break;
        case ImportField::Date:
            takeValue(cells.date, cell);
            break;
        case ImportField::Amount:
            takeValue(cells.amount, cell);
            break;
        case ImportField::In:
            takeValue(cells.in, cell);
            break;
        case ImportField::Out:
            takeValue(cells.out, cell);
            break;
        case ImportField::Direction:
            takeValue(cells.direction, cell);
            break;
        case ImportField::Reason:
            addText(cells.reason, cell);
            break;
        case ImportField::From:
            addText(cells.from, cell);
            break;
        case ImportField::To:
            addText(cells.to, cell);
            break;
        case ImportField::Method:
            addText(cells.method, cell);
            break;
        case ImportField::Notes:
            addText(cells.notes, cell);
            break;
        case ImportField::Counterparty:
            addText(cells.counterparty, cell);
            break;
        }
    }
    return cells;
}

// A NUL or another C0 control code stored in a text breaks what reads it later (the search for
// duplicates, the printed report); tabs and line breaks are text.
bool isControl(QChar c)
{
    return c.unicode() < 0x20 && c != u'\t' && c != u'\n' && c != u'\r';
}

// "Control character U+0000 in Notes" for the first such character in a column that is imported,
// the empty text when there is none.
QString controlCharacterIn(const QStringList& row, const QList<ImportField>& columns)
{
    const qsizetype width = std::min(row.size(), columns.size());
    for (qsizetype c = 0; c < width; ++c) {
        if (columns[c] == ImportField::Ignore)
            continue;
        const auto control = std::find_if(row[c].cbegin(), row[c].cend(), isControl);
        if (control != row[c].cend()) {
            const QString code = QString::number(control->unicode(), 16).toUpper().rightJustified(4, u'0');
            return u"Control character U+%1 in %2"_s.arg(code, importFieldName(columns[c]));
        }
    }
    return {};
}

QString quoted(QStringView cell)
{
    const QString shown = cell.size() > quotedLength ? cell.first(quotedLength - 1).toString() + u'…' : cell.toString();
    return u'"' + shown + u'"';
}

// 1 received, 2 paid out, 0 for a word that says neither.
std::optional<Direction> directionOf(QStringView word)
{
    static constexpr QStringView received[] = {u"received", u"in",    u"paid in",    u"credit", u"cr",
                                               u"h",        u"haben", u"gutschrift", u"+"};
    static constexpr QStringView paidOut[] = {u"paid out", u"out",  u"debit",       u"dr",
                                              u"s",        u"soll", u"lastschrift", u"-"};
    const auto isOneOf = [&](const auto& words) {
        return std::any_of(std::begin(words), std::end(words),
                           [&](QStringView w) { return word.compare(w, Qt::CaseInsensitive) == 0; });
    };
    if (isOneOf(received))
        return Direction::Received;
    if (isOneOf(paidOut))
        return Direction::PaidOut;
    return std::nullopt;
}

struct Amount
{
    double value = 0;
    Direction direction = Direction::Received;
};

QString unreadableAmount(QStringView cell)
{
    return u"Unreadable amount "_s + quoted(cell);
}

// The amount with its direction, or the problem that keeps the row from being an entry.
std::variant<Amount, QString> amountOf(const RowCells& cells, DecimalMark mark)
{
    if (!cells.amount.isEmpty()) {
        const auto value = parseImportAmount(cells.amount, mark);
        if (!value)
            return unreadableAmount(cells.amount);
        return Amount{std::abs(*value), *value < 0 ? Direction::PaidOut : Direction::Received};
    }
    if (cells.in.isEmpty() && cells.out.isEmpty())
        return u"No amount"_s;
    const auto in = cells.in.isEmpty() ? std::optional(0.0) : parseImportAmount(cells.in, mark);
    if (!in)
        return unreadableAmount(cells.in);
    const auto out = cells.out.isEmpty() ? std::optional(0.0) : parseImportAmount(cells.out, mark);
    if (!out)
        return unreadableAmount(cells.out);
    if (*in != 0 && *out != 0)
        return u"Both In and Out hold an amount"_s;
    // Statements often write 0,00 in the column that does not apply.
    const bool paidOut = *out != 0 || (*in == 0 && cells.in.isEmpty());
    return Amount{std::abs(paidOut ? *out : *in), paidOut ? Direction::PaidOut : Direction::Received};
}

} // namespace

ImportRow convertRow(const ImportTable& table, int row, const ImportLayout& layout)
{
    ImportRow result;
    result.sourceRow = row;
    result.line = table.lineOf(row);
    if (isBlankRow(table.rows[row]))
        return result;
    result.problem = controlCharacterIn(table.rows[row], layout.columns);
    if (!result.problem.isEmpty())
        return result;
    RowCells cells = cellsOf(table.rows[row], layout.columns);
    if (cells.date.isEmpty()) {
        result.problem = u"No date"_s;
        return result;
    }
    const auto date = parseImportDate(cells.date, layout.dateOrder);
    if (!date) {
        result.problem = u"Unreadable date "_s + quoted(cells.date);
        return result;
    }
    auto amount = amountOf(cells, layout.decimalMark);
    if (auto* problem = std::get_if<QString>(&amount)) {
        result.problem = *problem;
        return result;
    }
    Direction direction = std::get<Amount>(amount).direction;
    if (!cells.direction.isEmpty()) {
        const std::optional<Direction> named = directionOf(cells.direction);
        if (!named) {
            result.problem = u"Unknown direction "_s + quoted(cells.direction);
            return result;
        }
        direction = *named;
    }
    addText(direction == Direction::Received ? cells.from : cells.to, cells.counterparty);
    result.entry = ImportedEntry{
        *date,      std::get<Amount>(amount).value, direction, cells.reason, cells.from, cells.to, cells.method,
        cells.notes};
    return result;
}

std::vector<ImportRow> convertRows(const ImportTable& table, const ImportLayout& layout, const ProgressCheck& check)
{
    std::vector<ImportRow> rows;
    rows.reserve(size_t(std::max<qsizetype>(table.rows.size() - layout.headerRow - 1, 0)));
    for (int row = layout.headerRow + 1; row < table.rows.size(); ++row) {
        checkProgress(check, row);
        rows.push_back(convertRow(table, row, layout));
    }
    return rows;
}

std::vector<ImportRow> convertStatement(const ImportTable& table, const ImportLayout& layout,
                                        const ProgressCheck& check)
{
    std::vector<ImportRow> rows = convertRows(table, layout, check);
    std::erase_if(rows, [](const ImportRow& row) { return !row.entry && row.problem.isEmpty(); });
    return rows;
}
