// Form1::followLedger: the list follows what other programs change in the ledger.
#include "ui/main/form1.h"

#include "app/programidle.h"
#include "ledgerlist/ledgermodel.h"
#include "ledgerlist/ledgerview.h"

#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <optional>

namespace {

// While the program is busy, how often it is asked again: soon enough to seem at once.
constexpr int busyRetryMs = 200;

} // namespace

void Form1::followLedger()
{
    if (closing_)
        return;
    // A command of the program's own (a dialog, a long task, the export) works on the list as it
    // found it; the list follows once it has ended.
    if (exporting_ || !programIsIdle()) {
        followLater_->start(busyRetryMs);
        return;
    }
    const QModelIndex current = ListView1->currentIndex();
    const int selectedRow = current.isValid() ? view_->sourceRow(current.row()) : -1;
    std::optional<qint64> selected;
    if (selectedRow >= 0 && model_->hasId(selectedRow))
        selected = model_->id(selectedRow);
    const QList<qint64> ticked = model_->tickedIds();
    QScrollBar* across = ListView1->horizontalScrollBar();
    QScrollBar* down = ListView1->verticalScrollBar();
    const int acrossAt = across->value(), downAt = down->value();

    ListData();

    model_->tickIds(ticked);
    // An entry deleted meanwhile or no longer found keeps the row ListData selected in its place.
    if (selected) {
        const int row = view_->rowOfSource(model_->rowOfId(*selected));
        if (row >= 0)
            keepSelection(row);
    }
    across->setValue(acrossAt);
    down->setValue(downAt);
}
