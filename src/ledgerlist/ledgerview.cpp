#include "ledgerlist/ledgerview.h"

#include "ledgerlist/foldedtext.h"
#include "ledgerlist/ledgermodel.h"
#include "ledgerlist/stretches.h"
#include "ledgerlist/textorder.h"

#include <QHash>
#include <algorithm>
#include <numeric>
#include <utility>

namespace {

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
    // The view hears of the reset when the ledger model starts one, so it never asks for rows that
    // are being replaced.
    connect(source, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        beginResetModel();
        resetting_ = true;
    });
    connect(source, &QAbstractItemModel::modelReset, this, &LedgerView::followSourceReset);
    connect(source, &QAbstractItemModel::dataChanged, this, &LedgerView::followSourceData);
    connect(source, &QAbstractItemModel::columnsInserted, this, [this] { followSourceReset(); });
    followSourceReset();
}

void LedgerView::followSourceReset()
{
    if (!std::exchange(resetting_, false))
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
    const LedgerModel& ledger = *ledger_;
    const size_t rows = size_t(ledger.rowCount());
    order_.resize(rows);
    std::iota(order_.begin(), order_.end(), 0);
    switch (sortColumn_) {
    case -1:
        return;
    case LedgerModel::idColumn:
        // A missing id sorts first, as the empty text it shows.
        sortByKey(order_, sortOrder_,
                  [&](int r) { return ledger.hasId(r) ? ledger.id(r) : std::numeric_limits<qint64>::min(); });
        return;
    case LedgerModel::dateColumn:
        sortByKey(order_, sortOrder_,
                  [&](int r) { return ledger.hasDate(r) ? ledger.julianDay(r) : std::numeric_limits<qint64>::min(); });
        return;
    case LedgerModel::amountColumn:
        sortByKey(order_, sortOrder_, [&](int r) {
            return ledger.hasAmount(r) ? ledger.amount(r) : -std::numeric_limits<double>::infinity();
        });
        return;
    case LedgerModel::directionColumn:
        // As the texts sort: empty, "Paid Out", "Received".
        sortByKey(order_, sortOrder_, [&](int r) {
            const std::optional<Direction> direction = ledger.direction(r);
            return direction == Direction::Received ? 2 : direction == Direction::PaidOut ? 1 : 0;
        });
        return;
    default:
        break;
    }
    // Texts: the distinct ones are put in the user's order once, then every row sorts by its rank.
    const int field = sortColumn_ - LedgerModel::firstTextColumn + 1;
    QHash<QByteArrayView, int> distinctIndex;
    std::vector<QByteArrayView> distinct;
    std::vector<int> textOf(rows);
    for (size_t r = 0; r < rows; ++r) {
        const QByteArrayView text = ledger.storedText(int(r), field);
        auto found = distinctIndex.constFind(text);
        if (found == distinctIndex.cend()) {
            found = distinctIndex.insert(text, int(distinct.size()));
            distinct.push_back(text);
        }
        textOf[r] = *found;
    }
    distinctIndex.clear();
    const std::vector<int> rank = collationRanks(distinct);
    sortByKey(order_, sortOrder_, [&](int r) { return rank[size_t(textOf[size_t(r)])]; });
}

bool LedgerView::passes(int sourceRow) const
{
    const LedgerModel& ledger = *ledger_;
    if (filter_.direction && ledger.direction(sourceRow) != filter_.direction)
        return false;
    if (filter_.from || filter_.to) {
        if (!ledger.hasDate(sourceRow))
            return false;
        const qint64 day = ledger.julianDay(sourceRow);
        if (filter_.from && day < filter_.from->toJulianDay())
            return false;
        if (filter_.to && day > filter_.to->toJulianDay())
            return false;
    }
    if (filter_.minAmount || filter_.maxAmount) {
        if (!ledger.hasAmount(sourceRow))
            return false;
        const double amount = ledger.amount(sourceRow);
        if (filter_.minAmount && amount < *filter_.minAmount)
            return false;
        if (filter_.maxAmount && amount > *filter_.maxAmount)
            return false;
    }
    if (filter_.exactText &&
        ledger.storedText(sourceRow, storedTextNumber(filter_.exactText->first)) != QByteArrayView(exactUtf8_))
        return false;
    if (neededText_.isEmpty())
        return true;
    for (int field = firstSearchedText; field <= lastSearchedText; ++field) {
        if (neededText_.foundIn(ledger.storedText(sourceRow, field), ledger.isAsciiText(sourceRow, field)))
            return true;
    }
    return false;
}

void LedgerView::filterRows(const std::vector<int>& candidates)
{
    neededText_ = FoldedText(filter_.text);
    exactUtf8_ = filter_.exactText ? filter_.exactText->second.toUtf8() : QByteArray();
    if (filter_.isEmpty()) {
        showAll(candidates);
        return;
    }
    if (!neededText_.isEmpty())
        ledger_->workOutAsciiTexts();
    // The test of each row is independent of the others: large lists are tested on every core,
    // each core taking one stretch and keeping its order.
    std::vector<std::vector<int>> passed(stretchCount(candidates.size()));
    inStretches(candidates.size(), [&](size_t part, size_t begin, size_t end) {
        for (size_t i = begin; i < end; ++i) {
            if (passes(candidates[i]))
                passed[part].push_back(candidates[i]);
        }
    });

    shownRow_.assign(size_t(ledger_->rowCount()), -1);
    rows_.clear();
    for (const std::vector<int>& part : passed) {
        for (int row : part) {
            shownRow_[size_t(row)] = int(rows_.size());
            rows_.push_back(row);
        }
    }
    addUpShown();
}

void LedgerView::showAll(const std::vector<int>& candidates)
{
    rows_ = candidates;
    shownRow_.resize(rows_.size());
    for (size_t shown = 0; shown < rows_.size(); ++shown)
        shownRow_[size_t(rows_[shown])] = int(shown);
    addUpShown();
}

void LedgerView::addUpShown()
{
    totals_ = {};
    for (int row : rows_) {
        const std::optional<Direction> direction = ledger_->direction(row);
        if (direction == Direction::Received)
            totals_.received += ledger_->amount(row);
        else if (direction == Direction::PaidOut)
            totals_.paid += ledger_->amount(row);
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
