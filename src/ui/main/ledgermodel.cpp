#include "ui/main/ledgermodel.h"

void LedgerModel::addColumn(const QString& title)
{
    beginInsertColumns({}, int(titles_.size()), int(titles_.size()));
    titles_.append(title);
    endInsertColumns();
}

int LedgerModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 0;
}

int LedgerModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(titles_.size());
}

QVariant LedgerModel::data(const QModelIndex&, int) const
{
    return {};
}

QVariant LedgerModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < titles_.size())
        return titles_[section];
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags LedgerModel::flags(const QModelIndex& index) const
{
    return QAbstractTableModel::flags(index);
}

bool LedgerModel::setData(const QModelIndex&, const QVariant&, int)
{
    return false;
}
