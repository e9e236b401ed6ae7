#pragma once

#include "base/failure.h"

#include <QList>
#include <QStringList>
#include <algorithm>

// A file's cells as texts, row by row; rows may have different lengths.
struct ImportTable
{
    QList<QStringList> rows;
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
