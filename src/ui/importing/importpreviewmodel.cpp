#include "ui/importing/importpreviewmodel.h"

#include "base/direction.h"
#include "money/moneyformat.h"

#include <QBrush>
#include <QColor>
#include <QLocale>
#include <algorithm>

namespace {

const QColor unreadableBackground(255, 205, 205);
const QColor inLedgerBackground(255, 236, 179);

} // namespace

void ImportPreviewModel::setRows(std::vector<ImportRow> rows, std::vector<bool> inLedger)
{
    beginResetModel();
    rows_ = std::move(rows);
    inLedger_ = std::move(inLedger);
    inLedger_.resize(rows_.size());
    ticked_.assign(rows_.size(), false);
    tickedCount_ = 0;
    for (size_t i = 0; i < rows_.size(); ++i) {
        ticked_[i] = rows_[i].entry.has_value() && !inLedger_[i];
        tickedCount_ += ticked_[i];
    }
    endResetModel();
    Q_EMIT ticksChanged();
}

qsizetype ImportPreviewModel::readableCount() const
{
    return std::count_if(rows_.begin(), rows_.end(), [](const ImportRow& row) { return row.entry.has_value(); });
}

qsizetype ImportPreviewModel::unreadableCount() const
{
    return qsizetype(rows_.size()) - readableCount();
}

qsizetype ImportPreviewModel::inLedgerCount() const
{
    return std::count(inLedger_.begin(), inLedger_.end(), true);
}

qsizetype ImportPreviewModel::tickedCount() const
{
    return tickedCount_;
}

std::vector<ImportedEntry> ImportPreviewModel::tickedEntries() const
{
    std::vector<ImportedEntry> entries;
    entries.reserve(size_t(tickedCount_));
    for (size_t i = 0; i < rows_.size(); ++i)
        if (ticked_[i])
            entries.push_back(*rows_[i].entry);
    return entries;
}

int ImportPreviewModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(rows_.size());
}

int ImportPreviewModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString ImportPreviewModel::status(size_t row) const
{
    if (!rows_[row].entry)
        return rows_[row].problem;
    return inLedger_[row] ? tr("Already in the ledger") : tr("New");
}

QString ImportPreviewModel::text(const ImportRow& row, int column) const
{
    if (column == LineColumn)
        return QString::number(row.line);
    if (!row.entry)
        return {};
    const ImportedEntry& e = *row.entry;
    switch (column) {
    case DateColumn:
        return QLocale().toString(e.date, QLocale::ShortFormat);
    case AmountColumn:
        return FormatMoney(e.amount);
    case DirectionColumn:
        return directionText(e.direction);
    case ReasonColumn:
        return e.reason;
    case FromColumn:
        return e.fromCompany;
    case ToColumn:
        return e.toCompany;
    case MethodColumn:
        return e.paymentMethod;
    case NotesColumn:
        return e.notes;
    default:
        return {};
    }
}

QVariant ImportPreviewModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || size_t(index.row()) >= rows_.size())
        return {};
    const size_t row = size_t(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return index.column() == StatusColumn ? status(row) : text(rows_[row], index.column());
    case Qt::CheckStateRole:
        if (index.column() == TickColumn && rows_[row].entry)
            return ticked_[row] ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::BackgroundRole:
        if (!rows_[row].entry)
            return QBrush(unreadableBackground);
        if (inLedger_[row])
            return QBrush(inLedgerBackground);
        return {};
    case Qt::ForegroundRole:
        // Dark text on the light marks, whatever the colour scheme.
        if (!rows_[row].entry || inLedger_[row])
            return QBrush(Qt::black);
        return {};
    default:
        return {};
    }
}

QVariant ImportPreviewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char* const titles[ColumnCount] = {QT_TR_NOOP("Import"), QT_TR_NOOP("Line"),   QT_TR_NOOP("Status"),
                                                    QT_TR_NOOP("Date"),   QT_TR_NOOP("Amount"), QT_TR_NOOP("In/Out"),
                                                    QT_TR_NOOP("Reason"), QT_TR_NOOP("From"),   QT_TR_NOOP("To"),
                                                    QT_TR_NOOP("Method"), QT_TR_NOOP("Notes")};
    return section >= 0 && section < ColumnCount ? tr(titles[section]) : QVariant();
}

Qt::ItemFlags ImportPreviewModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == TickColumn && size_t(index.row()) < rows_.size() &&
        rows_[size_t(index.row())].entry)
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

bool ImportPreviewModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::CheckStateRole || !(flags(index) & Qt::ItemIsUserCheckable))
        return false;
    const size_t row = size_t(index.row());
    const bool tick = value.value<Qt::CheckState>() == Qt::Checked;
    if (ticked_[row] == tick)
        return true;
    ticked_[row] = tick;
    tickedCount_ += tick ? 1 : -1;
    Q_EMIT dataChanged(index, index, {Qt::CheckStateRole});
    Q_EMIT ticksChanged();
    return true;
}
