#pragma once

#include "base/progress.h"

#include <QStringList>
#include <QVariant>
#include <vector>

class Recordset;

// The rows a report shows, held in memory: the named columns of every row, in row order.
class ReportData
{
public:
    ReportData() = default;
    explicit ReportData(QStringList columns) : columns_(std::move(columns)) {}

    const QStringList& columns() const { return columns_; }
    // The column of that name, compared without regard to case; throws Failure when there is none.
    int column(QStringView name) const;

    qsizetype rowCount() const { return columns_.isEmpty() ? 0 : qsizetype(cells_.size()) / columns_.size(); }
    const QVariant& value(qsizetype row, int column) const { return cells_[size_t(row * columns_.size() + column)]; }

    // Appends one row; `values` holds one value per column, in column order.
    void appendRow(std::initializer_list<QVariant> values);

    // Reads `fields` of every remaining row of `rows` (the report's data source), to its end.
    // Throws Cancelled when `progress` (asked with the rows read) says stop.
    static ReportData read(Recordset& rows, const QStringList& fields, const ProgressCheck& progress = {});

private:
    QStringList columns_;
    std::vector<QVariant> cells_;
};
