#include "importing/importlayout.h"

#include "importing/importlanguage.h"
#include "importing/importtitles.h"

#include <cmath>

namespace {

// Enough rows to see the date order and decimal mark, few enough to guess at once.
constexpr int sampleRows = 200;

// What the first data rows hold in one column.
struct ColumnContents
{
    int filled = 0;
    int dates = 0;
    int amounts = 0;
    int fractionsOrSigns = 0; // amounts that cents or a sign show as money rather than a count
    qsizetype length = 0;

    bool mostly(int count) const { return 2 * count > filled; }
    bool dated() const { return mostly(dates); }
    bool numeric() const { return mostly(amounts) && !dated(); }
    bool textual() const { return filled > 0 && !mostly(dates) && !mostly(amounts); }
};

QList<const QStringList*> sampleRowsOf(const ImportTable& table, int headerRow)
{
    QList<const QStringList*> samples;
    for (qsizetype row = headerRow + 1; row < table.rows.size() && samples.size() < sampleRows; ++row) {
        if (!isBlankRow(table.rows[row]))
            samples.append(&table.rows[row]);
    }
    return samples;
}

ColumnContents contentsOf(const QList<const QStringList*>& samples, qsizetype column)
{
    ColumnContents contents;
    for (const QStringList* row : samples) {
        const QString cell = column < row->size() ? row->at(column).trimmed() : QString();
        if (cell.isEmpty())
            continue;
        ++contents.filled;
        contents.length += cell.size();
        contents.dates += isImportDate(cell);
        const auto amount = parseImportAmount(cell, DecimalMark::Point);
        const auto value = amount ? amount : parseImportAmount(cell, DecimalMark::Comma);
        if (value) {
            ++contents.amounts;
            contents.fractionsOrSigns += *value < 0 || *value != std::floor(*value);
        }
    }
    return contents;
}

// Among the columns without a known title, and for the fields no title named: the first column of
// dates, the first of money amounts (or else of any numbers) and the one of the longest texts as the
// reason.
void guessByContents(QList<ImportField>& columns, const QList<bool>& untitled, const QList<const QStringList*>& samples)
{
    QList<ColumnContents> contents;
    for (qsizetype c = 0; c < columns.size(); ++c)
        contents.append(untitled[c] ? contentsOf(samples, c) : ColumnContents());
    const auto firstFree = [&](auto fits) {
        for (qsizetype c = 0; c < columns.size(); ++c) {
            if (untitled[c] && columns[c] == ImportField::Ignore && fits(contents[c]))
                return c;
        }
        return qsizetype(-1);
    };
    if (!columns.contains(ImportField::Date)) {
        if (const qsizetype c = firstFree([](const ColumnContents& cc) { return cc.dated(); }); c >= 0)
            columns[c] = ImportField::Date;
    }
    if (!mapsAnAmount(columns)) {
        qsizetype c = firstFree([](const ColumnContents& cc) { return cc.numeric() && cc.fractionsOrSigns > 0; });
        if (c < 0)
            c = firstFree([](const ColumnContents& cc) { return cc.numeric(); });
        if (c >= 0)
            columns[c] = ImportField::Amount;
    }
    if (!columns.contains(ImportField::Reason)) {
        qsizetype longest = -1;
        for (qsizetype c = 0; c < columns.size(); ++c) {
            const ColumnContents& cc = contents[c];
            if (untitled[c] && columns[c] == ImportField::Ignore && cc.textual() &&
                (longest < 0 || cc.length * contents[longest].filled > contents[longest].length * cc.filled))
                longest = c;
        }
        if (longest >= 0)
            columns[longest] = ImportField::Reason;
    }
}

} // namespace

bool mapsAnAmount(const QList<ImportField>& columns)
{
    return columns.contains(ImportField::Amount) || columns.contains(ImportField::In) ||
           columns.contains(ImportField::Out);
}

ImportLayout guessLayout(const ImportTable& table)
{
    ImportLayout layout;
    layout.headerRow = detectHeaderRow(table);
    qsizetype width = 0;
    for (const QStringList& row : table.rows)
        width = std::max(width, row.size());
    layout.columns.fill(ImportField::Ignore, width);
    QList<bool> untitled(width, true);
    if (layout.headerRow >= 0) {
        const QStringList& titles = table.rows[layout.headerRow];
        for (qsizetype c = 0; c < titles.size(); ++c) {
            const auto field = fieldOfTitle(titles[c]);
            untitled[c] = !field.has_value();
            // The first column of a field wins: the booking date before the value date.
            if (field && !layout.columns.contains(*field))
                layout.columns[c] = *field;
        }
    }
    const QList<const QStringList*> samples = sampleRowsOf(table, layout.headerRow);
    guessByContents(layout.columns, untitled, samples);

    QList<QString> dates, amounts;
    const qsizetype dateColumn = layout.columns.indexOf(ImportField::Date);
    for (const QStringList* row : samples) {
        for (qsizetype c = 0; c < row->size(); ++c) {
            const ImportField field = layout.columns[c];
            if (c == dateColumn)
                dates.append(row->at(c));
            else if (field == ImportField::Amount || field == ImportField::In || field == ImportField::Out)
                amounts.append(row->at(c));
        }
    }
    const Guess<DecimalMark> mark = guessDecimalMark(amounts);
    DateClues clues;
    if (mark.basis == GuessBasis::Evidence)
        clues.decimalMark = mark.value;
    clues.dayFirstTitles =
        layout.headerRow >= 0 && titleLanguage(table.rows[layout.headerRow]) == TitleLanguage::DayFirst;
    const Guess<DateOrder> order = guessDateOrder(dates, clues);
    layout.dateOrder = order.value;
    layout.dateOrderOpen = order.basis == GuessBasis::Open;
    layout.decimalMark = mark.value;
    layout.decimalMarkOpen = mark.basis == GuessBasis::Open;
    return layout;
}
