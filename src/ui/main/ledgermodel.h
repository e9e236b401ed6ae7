#pragma once

#include <QAbstractTableModel>
#include <QDate>
#include <QStringList>
#include <vector>

// One ledger row as ListData reads it; a field left unset shows as an empty cell.
struct LedgerRowValues
{
    qint64 id = 0;
    bool hasId = false;
    QDate date;
    QByteArray dateText; // shown as stored when the stored date is no valid date
    double amount = 0;
    bool hasAmount = false;
    QByteArray reason, fromCompany, toCompany, paymentMethod, notes; // UTF-8 as stored
    QString direction; // "Received", "Paid Out" or empty
};

// The ledger list's model. Rows are kept compactly (numbers and UTF-8 texts in one arena) and
// the shown texts are made on demand, so a million rows refill fast and cost little memory.
// Column 1 carries a tick box that the user sets; the spreadsheet export reads it.
class LedgerModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;

    void addColumn(const QString& title);
    QString columnTitle(int column) const;

    // A refill: clear (unless appending), append rows, then end. Views see one reset.
    void beginRefill(bool keepRows);
    void appendRow(const LedgerRowValues& row);
    void endRefill();

    // The text the list shows in a cell (column 0 is the id).
    QString text(int row, int column) const;
    bool isTicked(int row) const;
    void setTicked(int row, bool ticked);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

private:
    struct Row;
    QStringList titles_;
    std::vector<Row> rows_;
    QByteArray arena_;
    QStringList moneyFormats_; // the money format of each refill, so rows keep the texts they were filled with
};
