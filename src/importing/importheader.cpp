#include "importing/importlayout.h"

#include <algorithm>

namespace {

// Bank statements put at most a few lines of account, period and balance before their titles.
constexpr int headerSearchRows = 20;

bool isValue(QStringView cell)
{
    return isImportDate(cell) || isImportAmount(cell);
}

qsizetype filledWidth(const QStringList& row)
{
    qsizetype width = row.size();
    while (width > 0 && QStringView(row[width - 1]).trimmed().isEmpty())
        --width;
    return width;
}

// Mostly filled, and mostly with words rather than dates or numbers.
bool readsAsTitles(const QStringList& row)
{
    int filled = 0;
    int words = 0;
    for (const QString& cell : row) {
        if (QStringView(cell).trimmed().isEmpty())
            continue;
        ++filled;
        words += !isValue(cell);
    }
    return words > 0 && 5 * words >= 4 * filled && 2 * filled >= filledWidth(row);
}

// A date and, in another cell, a number.
bool readsAsData(const QStringList& row)
{
    const auto date = std::find_if(row.begin(), row.end(), [](const QString& cell) { return isImportDate(cell); });
    if (date == row.end())
        return false;
    return std::any_of(row.begin(), row.end(),
                       [&](const QString& cell) { return &cell != &*date && isImportAmount(cell); });
}

} // namespace

int detectHeaderRow(const ImportTable& table)
{
    const int searched = int(std::min<qsizetype>(table.rows.size(), headerSearchRows));
    for (int row = 0; row < searched; ++row) {
        const QStringList& cells = table.rows[row];
        if (readsAsData(cells))
            return -1;
        if (!readsAsTitles(cells))
            continue;
        int next = row + 1;
        while (next < table.rows.size() && isBlankRow(table.rows[next]))
            ++next;
        // The data below is about as wide as the titles: a workbook leaves a row's empty last cells out.
        if (next < table.rows.size() && readsAsData(table.rows[next]) &&
            2 * filledWidth(table.rows[next]) >= filledWidth(cells))
            return row;
    }
    return -1;
}
