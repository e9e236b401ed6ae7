#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

// The first sheet of an .xlsx file as written, read back through `unzip`: each cell's text
// (shared, inline or numeric) by its reference such as "C7", and the column widths.
class XlsxSheet
{
public:
    struct Cell
    {
        QString text;
        bool isNumber = false;
    };

    // A file that cannot be read fails the current test and gives an empty sheet.
    explicit XlsxSheet(const QString& path);

    // The empty text for a cell that was not written.
    QString text(const QString& reference) const { return cells.value(reference).text; }
    // The texts of columns A, B, ... of one row, as many as asked for.
    QStringList row(int row, int columns) const;
    // The rows that hold at least one cell, in order.
    QList<int> usedRows() const;
    // The width set on a column (1 = A), 0 when none was set.
    double columnWidth(int column) const { return widths.value(column); }

    QMap<QString, Cell> cells;
    QMap<int, double> widths;
};

// "A", "B", ... "Z", "AA" for columns 1, 2, ...
QString columnLetters(int column);
