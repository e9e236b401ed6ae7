#pragma once

#include "base/failure.h"

#include <QList>
#include <QStringList>
#include <algorithm>

// A file's cells as texts, row by row; rows may have different lengths.
struct ImportTable
{
    QList<QStringList> rows;
    // The line of the file, as an editor counts them from 1, on which each row starts; empty where
    // row i is line i + 1, as in a sheet.
    QList<int> lines{};

    // 0 for row -1, which stands for no row.
    int lineOf(qsizetype row) const
    {
        if (row < 0)
            return 0;
        return lines.isEmpty() ? int(row) + 1 : lines[row];
    }

    // The row that holds a line: the last one starting on it or before, -1 when none starts so early.
    int rowAt(int line) const
    {
        if (lines.isEmpty())
            return int(std::clamp<qsizetype>(line, 0, rows.size())) - 1;
        return int(std::upper_bound(lines.begin(), lines.end(), line) - lines.begin()) - 1;
    }
};

// A row with no text in any cell, as spreadsheets and statements leave between blocks.
inline bool isBlankRow(const QStringList& row)
{
    return std::all_of(row.begin(), row.end(),
                       [](const QString& cell) { return QStringView(cell).trimmed().isEmpty(); });
}

// More columns than any statement has: a row beyond it is a damaged or foreign file.
inline constexpr int importColumnLimit = 1000;
// A file with more cells is refused as it is read, so that a hostile one cannot take all the memory.
inline constexpr qsizetype importCellLimit = 10'000'000;

// Throws Failure once a file has more cells than importCellLimit.
inline void ensureCellCount(qsizetype cells)
{
    ensure(cells <= importCellLimit,
           QStringLiteral("The file has more than 10,000,000 cells, more than can be imported."));
}
