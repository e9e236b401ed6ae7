#include "ui/main/ledgerview.h"

#include "ui/main/foldedtext.h"
#include "ui/main/ledgermodel.h"

#include <QCollator>
#include <QHash>
#include <algorithm>
#include <numeric>

namespace {

constexpr int idColumn = 0, dateColumn = 1, amountColumn = 2, firstTextColumn = 3, directionColumn = 8;
// The stored texts that the find bar searches: reason, from, to, method and notes.
constexpr int firstSearchedText = 1, lastSearchedText = 5;

// Sorts `rows` by `key` (a number per row), keeping equal rows in their order.
template <class Key> void sortByKey(std::vector<int>& rows, Qt::SortOrder order, Key&& key)
{
    using Value = decltype(key(0));
    std::vector<std::pair<Value, int>> keyed;
    keyed.reserve(rows.size());
    for (int row : rows)
        keyed.emplace_back(key(row), row);
    if (order == Qt::AscendingOrder)
        std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    else
        std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i] = keyed[i].second;
}

} // namespace

LedgerView::LedgerView(LedgerModel* source, QObject* parent) : QAbstractProxyModel(parent), ledger_(source)
{
    QAbstractProxyModel::setSourceModel(source);
    connect(source, &QAbstractItemModel::modelReset, this, &LedgerView::followSourceReset);
    connect(source, &QAbstractItemModel::dataChanged, this, &LedgerView::followSourceData);
    connect(source, &QAbstractItemModel::columnsInserted, this, [this] { followSourceReset(); });
    followSourceReset();
}

void LedgerView::followSourceReset()
{
    beginResetModel();
    orderRows();
    filterRows(order_);
    endResetModel();
    Q_EMIT shownChanged();
}

void LedgerView::followSourceData(const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles)
{
    for (int row = topLeft.row(); row <= bottomRight.row(); ++row) {
        const int shown = rowOfSource(row);
        if (shown >= 0)
            Q_EMIT dataChanged(index(shown, topLeft.column()), index(shown, bottomRight.column()), roles);
    }
}

void LedgerView::setFilter(const LedgerFilter& filter)
{
    if (filter == filter_)
        return;
    const bool narrower = filter.narrows(filter_);
    filter_ = filter;
    beginResetModel();
    // One more letter typed: only what is shown now can still pass.
    if (narrower) {
        const std::vector<int> shown = rows_;
        filterRows(shown);
    } else {
        filterRows(order_);
    }
    endResetModel();
    Q_EMIT shownChanged();
}

void LedgerView::sort(int column, Qt::SortOrder order)
{
    sortColumn_ = column;
    sortOrder_ = order;
    beginResetModel();
    orderRows();
    filterRows(order_);
    endResetModel();
    Q_EMIT shownChanged();
}

void LedgerView::orderRows()
{
    const auto& rows = ledger_->rows_;
    order_.resize(rows.size());
    std::iota(order_.begin(), order_.end(), 0);
    switch (sortColumn_) {
    case -1:
        return;
    case idColumn:
        // A missing id sorts first, as the empty text it shows.
        sortByKey(order_, sortOrder_, [&](int r) {
            return rows[size_t(r)].flags & LedgerModel::HasId ? rows[size_t(r)].id : std::numeric_limits<qint64>::min();
        });
        return;
    case dateColumn:
        sortByKey(order_, sortOrder_, [&](int r) {
            return rows[size_t(r)].flags & LedgerModel::HasDate ? rows[size_t(r)].julianDay
                                                                 : std::numeric_limits<qint64>::min();
        });
        return;
    case amountColumn:
        sortByKey(order_, sortOrder_, [&](int r) {
            return rows[size_t(r)].flags & LedgerModel::HasAmount ? rows[size_t(r)].amount
                                                                   : -std::numeric_limits<double>::infinity();
        });
        return;
    case directionColumn:
        // As the texts sort: empty, "Paid Out", "Received".
        sortByKey(order_, sortOrder_, [&](int r) {
            const int direction = rows[size_t(r)].direction;
            return direction == 1 ? 2 : direction == 2 ? 1 : 0;
        });
        return;
    default:
        break;
    }
    // Texts: the distinct ones are put in the user's order once, then every row sorts by its rank.
    const int field = sortColumn_ - firstTextColumn + 1;
    QHash<QByteArrayView, int> rankOf;
    std::vector<QByteArrayView> distinct;
    for (const auto& row : rows) {
        const QByteArrayView text = ledger_->storedText(row, field);
        if (!rankOf.contains(text)) {
            rankOf.insert(text, int(distinct.size()));
            distinct.push_back(text);
        }
    }
    QCollator collator;
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<std::pair<QCollatorSortKey, int>> keys;
    keys.reserve(distinct.size());
    for (size_t i = 0; i < distinct.size(); ++i)
        keys.emplace_back(collator.sortKey(QString::fromUtf8(distinct[i])), int(i));
    std::sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) { return a.first.compare(b.first) < 0; });
    std::vector<int> rank(distinct.size());
    for (size_t i = 0; i < keys.size(); ++i)
        rank[size_t(keys[i].second)] = int(i);
    sortByKey(order_, sortOrder_, [&](int r) { return rank[size_t(rankOf.value(ledger_->storedText(rows[size_t(r)], field)))]; });
}

bool LedgerView::passes(int sourceRow) const
{
    const auto& row = ledger_->rows_[size_t(sourceRow)];
    if (filter_.direction != 0 && row.direction != filter_.direction)
        return false;
    if (filter_.from || filter_.to) {
        if (!(row.flags & LedgerModel::HasDate))
            return false;
        if (filter_.from && row.julianDay < filter_.from->toJulianDay())
            return false;
        if (filter_.to && row.julianDay > filter_.to->toJulianDay())
            return false;
    }
    if (filter_.minAmount || filter_.maxAmount) {
        if (!(row.flags & LedgerModel::HasAmount))
            return false;
        if (filter_.minAmount && row.amount < *filter_.minAmount)
            return false;
        if (filter_.maxAmount && row.amount > *filter_.maxAmount)
            return false;
    }
    if (neededText_.isEmpty())
        return true;
    for (int field = firstSearchedText; field <= lastSearchedText; ++field) {
        if (neededText_.foundIn(ledger_->storedText(row, field), row.asciiTexts & (1u << field)))
            return true;
    }
    return false;
}

void LedgerView::filterRows(const std::vector<int>& candidates)
{
    neededText_ = FoldedText(filter_.text);
    shownRow_.assign(ledger_->rows_.size(), -1);
    rows_.clear();
    totals_ = {};
    for (int row : candidates) {
        if (!passes(row))
            continue;
        shownRow_[size_t(row)] = int(rows_.size());
        rows_.push_back(row);
        const auto& values = ledger_->rows_[size_t(row)];
        if (values.direction == 1)
            totals_.received += values.amount;
        else if (values.direction == 2)
            totals_.paid += values.amount;
    }
    totals_.entries = qsizetype(rows_.size());
}

int LedgerView::sourceRow(int row) const
{
    return row >= 0 && size_t(row) < rows_.size() ? rows_[size_t(row)] : -1;
}

int LedgerView::rowOfSource(int sourceRow) const
{
    return sourceRow >= 0 && size_t(sourceRow) < shownRow_.size() ? shownRow_[size_t(sourceRow)] : -1;
}

QModelIndex LedgerView::mapToSource(const QModelIndex& proxyIndex) const
{
    if (!proxyIndex.isValid())
        return {};
    return ledger_->index(sourceRow(proxyIndex.row()), proxyIndex.column());
}

QModelIndex LedgerView::mapFromSource(const QModelIndex& sourceIndex) const
{
    if (!sourceIndex.isValid())
        return {};
    const int row = rowOfSource(sourceIndex.row());
    return row < 0 ? QModelIndex() : index(row, sourceIndex.column());
}

QModelIndex LedgerView::index(int row, int column, const QModelIndex& parent) const
{
    if (parent.isValid() || row < 0 || column < 0 || row >= rowCount() || column >= columnCount())
        return {};
    return createIndex(row, column);
}

QModelIndex LedgerView::parent(const QModelIndex&) const
{
    return {};
}

int LedgerView::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(rows_.size());
}

int LedgerView::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ledger_->columnCount();
}

QVariant LedgerView::headerData(int section, Qt::Orientation orientation, int role) const
{
    return ledger_->headerData(section, orientation, role);
}
