#include "ui/statistics/figuretable.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>

namespace {

constexpr int orderRole = Qt::UserRole;
constexpr int rowRole = Qt::UserRole + 1;

} // namespace

FigureTable::FigureTable(const QStringList& titles, QWidget* parent)
    : QTableView(parent), model_(new QStandardItemModel(0, int(titles.size()), this)),
      order_(new QSortFilterProxyModel(this))
{
    model_->setHorizontalHeaderLabels(titles);
    order_->setSourceModel(model_);
    order_->setSortRole(orderRole);
    setModel(order_);
    setSortingEnabled(true);
    sortByColumn(-1, Qt::AscendingOrder);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAlternatingRowColors(true);
    verticalHeader()->hide();
    // The name or step takes the room; the figures keep their width.
    horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    setTextElideMode(Qt::ElideRight);
    connect(this, &QTableView::doubleClicked, this,
            [this](const QModelIndex& index) { Q_EMIT rowActivated(index.data(rowRole).toInt()); });
}

void FigureTable::setRows(const QList<QList<Cell>>& rows)
{
    model_->setRowCount(0);
    for (int r = 0; r < rows.size(); ++r) {
        QList<QStandardItem*> items;
        for (int c = 0; c < rows[r].size(); ++c) {
            auto* item = new QStandardItem(rows[r][c].text);
            item->setData(rows[r][c].order.isValid() ? rows[r][c].order : QVariant(rows[r][c].text), orderRole);
            item->setData(r, rowRole);
            // Figures line up on the right, as in the list.
            if (c > 0)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            items.append(item);
        }
        model_->appendRow(items);
    }
}

int FigureTable::rowCountShown() const
{
    return order_->rowCount();
}

QList<QStringList> FigureTable::shownTexts() const
{
    QList<QStringList> rows;
    for (int r = 0; r < order_->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < order_->columnCount(); ++c)
            cells.append(order_->index(r, c).data().toString());
        rows.append(cells);
    }
    return rows;
}

QString FigureTable::copyText() const
{
    QStringList lines;
    QStringList titles;
    for (int c = 0; c < model_->columnCount(); ++c)
        titles.append(model_->horizontalHeaderItem(c)->text());
    lines.append(titles.join(u'\t'));
    const QModelIndexList selected = selectionModel()->selectedRows();
    const QList<QStringList> rows = shownTexts();
    for (int r = 0; r < rows.size(); ++r) {
        if (selected.isEmpty() || selectionModel()->isRowSelected(r, {}))
            lines.append(rows[r].join(u'\t'));
    }
    return lines.join(u'\n') + u'\n';
}

void FigureTable::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Copy)) {
        QApplication::clipboard()->setText(copyText());
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentIndex().isValid()) {
        Q_EMIT rowActivated(currentIndex().data(rowRole).toInt());
        return;
    }
    QTableView::keyPressEvent(event);
}
