#pragma once

#include <QTableView>
#include <QVariant>

class QSortFilterProxyModel;
class QStandardItemModel;

// The figures of a chart as a table, so that nothing is only in a picture: sortable by any column
// (numbers as numbers), Ctrl+C copies the selected rows (all when none is) as tab-separated text
// with the titles, and a double-click or Enter on a row asks for its entries.
class FigureTable : public QTableView
{
    Q_OBJECT

public:
    FigureTable(const QStringList& titles, QWidget* parent);

    // One cell: the text shown and the value it sorts by.
    struct Cell
    {
        QString text;
        QVariant order;
    };
    // Replaces the rows; each row keeps its number for rowActivated whatever the order shown.
    void setRows(const QList<QList<Cell>>& rows);
    int rowCountShown() const;
    // The texts as shown, row by row in the shown order.
    QList<QStringList> shownTexts() const;
    // Tab-separated, titles first.
    QString copyText() const;

Q_SIGNALS:
    void rowActivated(int row);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QStandardItemModel* model_;
    QSortFilterProxyModel* order_;
};
