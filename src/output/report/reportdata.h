#pragma once

#include <QStringList>
#include <QVariant>
#include <vector>

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

    // Appends one row, asking `valueOf` for the value of each column in column order; the values
    // go straight into the table, so that a large report is not copied row by row.
    template <typename ValueOf> void appendRowOf(ValueOf&& valueOf)
    {
        for (int column = 0; column < columns_.size(); ++column)
            cells_.push_back(valueOf(column));
    }

private:
    QStringList columns_;
    std::vector<QVariant> cells_;
};
