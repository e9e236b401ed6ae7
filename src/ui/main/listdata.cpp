// Form1::ListData: the full refill of the ledger list and its summary.
#include "ui/main/form1.h"

#include "app/errortrap.h"
#include "base/failure.h"
#include "ledgerlist/ledgermodel.h"
#include "money/moneyformat.h"
#include "store/programconnection.h"
#include "store/recordset.h"
#include "store/statements.h"

#include <QLabel>
#include <QScopeGuard>
#include <QTableView>

using namespace Qt::StringLiterals;

namespace {

// The columns ListData reads; a column the ledger lacks is reported once and left empty.
struct LedgerColumns
{
    int id = -1, datercvd = -1, amount = -1, reason = -1, fromcompany = -1, tocompany = -1, paymentmethod = -1,
        notes = -1, paymenttype = -1;

    void find(const Recordset& rs)
    {
        const std::pair<int*, const char16_t*> wanted[] = {{&id, u"id"},
                                                           {&datercvd, u"datercvd"},
                                                           {&amount, u"amount"},
                                                           {&reason, u"reason"},
                                                           {&fromcompany, u"fromcompany"},
                                                           {&tocompany, u"tocompany"},
                                                           {&paymentmethod, u"paymentmethod"},
                                                           {&notes, u"notes"},
                                                           {&paymenttype, u"paymenttype"}};
        QStringList missing;
        for (auto [index, name] : wanted) {
            *index = rs.findField(QStringView(name));
            if (*index < 0)
                missing.append(QString::fromUtf16(name));
        }
        ensure(missing.isEmpty(), u"The ledger table has no column "_s + missing.join(u", ") + u"."_s);
    }
};

// Reads one column of the current row; a missing column reads as nothing.
template <class F> void readColumn(int index, F&& read)
{
    if (index >= 0)
        read(index);
}

} // namespace

void Form1::ListData()
{
    ErrorTrap trap(u"Form1", u"ListData");
    // During the spreadsheet export the old rows stay and the new ones follow them.
    const bool clearRows = trap.test(100, [&] { return !exporting_; });
    const QModelIndex current = ListView1->currentIndex();
    const int previousRow = current.isValid() ? current.row() : 0;
    model_->beginRefill(!clearRows);
    const auto endRefill = qScopeGuard([&] {
        model_->endRefill();
        keepSelection(previousRow);
    });

    Recordset rs;
    LedgerColumns columns;
    bool opened = trap.step(104, [&] { rs.open(selectAllEntries(), Conn(), adOpenStatic, adLockReadOnly); });
    if (opened)
        trap.step(104, [&] { columns.find(rs); });

    double totalReceived = 0;
    double totalPaid = 0;
    // Without an open result set there is nothing to read: one report is enough.
    if (opened) {
        trap.loop(
            110, [&] { return !rs.eof(); },
            [&] {
                LedgerRowValues row;
                trap.step(112, [&] {
                    readColumn(columns.id, [&](int i) {
                        row.id = rs.intValue(i);
                        row.hasId = !rs.isNull(i);
                    });
                });
                trap.step(114, [&] {
                    readColumn(columns.datercvd, [&](int i) {
                        row.date = rs.dateValue(i);
                        row.dateText = rs.utf8Value(i);
                    });
                });
                trap.step(116, [&] {
                    readColumn(columns.amount, [&](int i) {
                        row.amount = rs.doubleValue(i);
                        row.hasAmount = !rs.isNull(i);
                    });
                });
                trap.step(118, [&] { readColumn(columns.reason, [&](int i) { row.reason = rs.utf8Value(i); }); });
                trap.step(120,
                          [&] { readColumn(columns.fromcompany, [&](int i) { row.fromCompany = rs.utf8Value(i); }); });
                trap.step(122, [&] { readColumn(columns.tocompany, [&](int i) { row.toCompany = rs.utf8Value(i); }); });
                trap.step(124, [&] {
                    readColumn(columns.paymentmethod, [&](int i) { row.paymentMethod = rs.utf8Value(i); });
                });
                trap.step(126, [&] { readColumn(columns.notes, [&](int i) { row.notes = rs.utf8Value(i); }); });
                qint64 paymentType = 0;
                trap.step(130, [&] { readColumn(columns.paymenttype, [&](int i) { paymentType = rs.intValue(i); }); });
                if (paymentType == 1) {
                    row.direction = 1;
                    totalReceived += row.amount;
                } else if (paymentType == 2) {
                    row.direction = 2;
                    totalPaid += row.amount;
                }
                trap.step(142, [&] { model_->appendRow(row); });
                // A row that cannot be left would be reported forever: end the refill instead.
                return trap.step(144, [&] { rs.moveNext(); });
            });
        trap.step(146, [&] { rs.close(); });
    }

    trap.step(148, [&] { Label1->setText(u"Received: "_s + FormatMoney(totalReceived)); });
    trap.step(150, [&] { Label2->setText(u"Paid: "_s + FormatMoney(totalPaid)); });
    trap.step(152, [&] {
        balance_ = totalReceived - totalPaid;
        Label3->setText(u"Balance: "_s + FormatMoney(balance_));
    });
}
