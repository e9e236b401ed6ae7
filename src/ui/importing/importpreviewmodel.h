#pragma once

#include "importing/importlayout.h"

#include <QAbstractTableModel>
#include <vector>

// The rows of a file as they would be stored, each with a tick that says whether it is imported.
// A row that cannot be read is shown red with the reason and cannot be ticked; a row the ledger
// holds already is marked and left unticked, for the user to tick if it really is a second one.
class ImportPreviewModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column {
        TickColumn,
        LineColumn,
        StatusColumn,
        DateColumn,
        AmountColumn,
        DirectionColumn,
        ReasonColumn,
        FromColumn,
        ToColumn,
        MethodColumn,
        NotesColumn,
        ColumnCount
    };

    using QAbstractTableModel::QAbstractTableModel;

    // The converted rows (blank ones already left out) and which of them the ledger holds.
    void setRows(std::vector<ImportRow> rows, std::vector<bool> inLedger);

    qsizetype readableCount() const;
    qsizetype unreadableCount() const;
    qsizetype inLedgerCount() const;
    qsizetype tickedCount() const;
    // The ticked rows' entries, in file order.
    std::vector<ImportedEntry> tickedEntries() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

Q_SIGNALS:
    void ticksChanged();

private:
    QString text(const ImportRow& row, int column) const;
    QString status(size_t row) const;

    std::vector<ImportRow> rows_;
    std::vector<bool> inLedger_;
    std::vector<bool> ticked_;
    qsizetype tickedCount_ = 0;
};
