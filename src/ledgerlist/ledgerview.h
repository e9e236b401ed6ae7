#pragma once

#include "ledgerlist/foldedtext.h"
#include "ledgerlist/ledgerfilter.h"

#include <QAbstractProxyModel>
#include <vector>

class LedgerModel;

// The list as the user asked to see it: the entries the find bar's filter lets through, in the
// order of the column header clicked last (the refill's own order until one is). It keeps row
// numbers only, never a second copy of the texts, and follows every refill of the ledger model.
class LedgerView : public QAbstractProxyModel
{
    Q_OBJECT

public:
    explicit LedgerView(LedgerModel* source, QObject* parent = nullptr);

    void setFilter(const LedgerFilter& filter);
    const LedgerFilter& filter() const { return filter_; }

    // Sorts by a column: dates as dates, amounts and ids as numbers, texts in the user's language;
    // equal entries keep the refill's order. Column -1 gives back the refill's order.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    int sortColumn() const { return sortColumn_; }
    Qt::SortOrder sortOrder() const { return sortOrder_; }

    // What the shown entries add up to.
    struct Totals
    {
        qsizetype entries = 0;
        double received = 0;
        double paid = 0;
    };
    const Totals& shownTotals() const { return totals_; }

    // The ledger model's row of a shown row, and back (-1 when not shown).
    int sourceRow(int row) const;
    int rowOfSource(int sourceRow) const;

    QModelIndex mapToSource(const QModelIndex& proxyIndex) const override;
    QModelIndex mapFromSource(const QModelIndex& sourceIndex) const override;
    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    // The columns are the ledger model's, also when no row is shown.
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

Q_SIGNALS:
    // The shown entries changed (a refill, a new filter or order).
    void shownChanged();

private:
    void followSourceReset();
    void followSourceData(const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles);
    // Puts every row of the ledger model into `order_`, sorted when a sort is chosen.
    void orderRows();
    // Fills `rows_` with the rows of `candidates` that pass the filter, keeping their order.
    void filterRows(const std::vector<int>& candidates);
    bool passes(int sourceRow) const;
    // No filter: every candidate is shown (a refill with the find bar closed pays no more).
    void showAll(const std::vector<int>& candidates);
    // Works out `totals_` from `rows_`.
    void addUpShown();

    LedgerModel* ledger_;
    LedgerFilter filter_;
    int sortColumn_ = -1;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    std::vector<int> order_;    // every ledger row, in the chosen order
    std::vector<int> rows_;     // the shown ones, in the same order
    std::vector<int> shownRow_; // per ledger row: its shown row, or -1
    Totals totals_;
    FoldedText neededText_;
    QByteArray exactUtf8_; // the filter's exact text, as the model stores texts
    bool resetting_ = false;
};
