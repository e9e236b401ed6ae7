// Form1::ListData: the full refill of the ledger list and its summary.
#include "ui/main/form1.h"

#include "app/errortrap.h"
#include "base/failure.h"
#include "ledgerlist/ledgermodel.h"
#include "ledgerlist/ledgertotals.h"

#include <QLabel>
#include <QScopeGuard>
#include <QTableView>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

// Reads one field of the current row; a field the ledger lacks (reported once) reads as nothing.
template <class F> void readField(const EntryRows& rows, EntryField field, F&& read)
{
    if (rows.has(field))
        read();
}

} // namespace

void Form1::ListData()
{
    ErrorTrap trap(u"Form1", u"ListData");
    // During the spreadsheet export the old rows stay and the new ones follow them.
    const bool clearRows = trap.test(100, [&] { return !exporting_; });
    // A fresh read shows whatever another program changed before it: nothing is left to follow.
    if (clearRows)
        followLater_->stop();
    const QModelIndex current = ListView1->currentIndex();
    const int previousRow = current.isValid() ? current.row() : 0;
    model_->beginRefill(!clearRows);
    const auto endRefill = qScopeGuard([&] {
        model_->endRefill();
        keepSelection(previousRow);
    });

    EntryRows rows;
    const bool opened = trap.step(104, [&] { ledger_.readAll(rows); });
    if (opened)
        trap.step(104, [&] { rows.requireEveryColumn(); });

    LedgerTotals totals;
    // Without an open result set there is nothing to read: one report is enough.
    if (opened) {
        trap.loop(
            110, [&] { return !rows.atEnd(); },
            [&] {
                LedgerRowValues row;
                trap.step(112, [&] {
                    readField(rows, EntryField::Id, [&] {
                        row.id = rows.id();
                        row.hasId = !rows.isNull(EntryField::Id);
                    });
                });
                trap.step(114, [&] {
                    readField(rows, EntryField::Date, [&] {
                        row.date = rows.date();
                        row.dateText = rows.utf8(EntryField::Date);
                    });
                });
                trap.step(116, [&] {
                    readField(rows, EntryField::Amount, [&] {
                        row.amount = rows.amount();
                        row.hasAmount = !rows.isNull(EntryField::Amount);
                    });
                });
                const auto readText = [&](int step, EntryField field, QByteArrayView& text) {
                    trap.step(step, [&] { readField(rows, field, [&] { text = rows.utf8(field); }); });
                };
                readText(118, EntryField::Reason, row.reason);
                readText(120, EntryField::FromCompany, row.fromCompany);
                readText(122, EntryField::ToCompany, row.toCompany);
                readText(124, EntryField::PaymentMethod, row.paymentMethod);
                readText(126, EntryField::Notes, row.notes);
                trap.step(130,
                          [&] { readField(rows, EntryField::Direction, [&] { row.direction = rows.direction(); }); });
                totals.add(row.direction, row.amount);
                trap.step(142, [&] { model_->appendRow(row); });
                // A row that cannot be left would be reported forever: end the refill instead.
                return trap.step(144, [&] { rows.next(); });
            });
        trap.step(146, [&] { rows.close(); });
    }

    trap.step(148, [&] { Label1->setText(receivedCaption(totals.received)); });
    trap.step(150, [&] { Label2->setText(paidCaption(totals.paid)); });
    trap.step(152, [&] {
        balance_ = totals.balance();
        Label3->setText(balanceCaption(balance_));
    });
}
