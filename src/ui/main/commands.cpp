// Form1's commands on entries: add, edit, delete, duplicate, and the help message.
#include "ui/main/form1.h"

#include "app/errortrap.h"
#include "app/prompter.h"
#include "base/failure.h"
#include "ledgerlist/ledgermodel.h"
#include "ledgerlist/ledgerview.h"
#include "money/numberparser.h"
#include "store/programconnection.h"
#include "store/recordset.h"
#include "store/statements.h"
#include "ui/entry/form2.h"
#include "ui/main/ledgerhistory.h"

#include <QItemSelectionModel>
#include <QTableView>

using namespace Qt::StringLiterals;

namespace {

constexpr auto contactAddress = u"https://marrowfen.example/contact/";

// The fields of the current row of an S2 result, for an exact copy.
EntryFields copiedFields(const Recordset& rs)
{
    EntryFields e;
    e.date = rs.field(u"datercvd").toDate();
    e.reason = rs.field(u"reason").toString();
    e.fromCompany = rs.field(u"fromcompany").toString();
    e.toCompany = rs.field(u"tocompany").toString();
    // The shortest text that reads back as the same double: a copy must be a copy.
    e.amountText = amountText(rs.field(u"amount").toDouble());
    e.paymentMethod = rs.field(u"paymentmethod").toString();
    e.notes = rs.field(u"notes").toString();
    e.paymentType = rs.field(u"paymenttype").toInt();
    return e;
}

} // namespace

bool Form1::listIsEmpty() const
{
    return view_->rowCount() == 0;
}

QString Form1::selectedId() const
{
    const QModelIndexList rows = ListView1->selectionModel()->selectedRows();
    if (rows.isEmpty())
        throw Failure(tr("No entry is selected in the list."));
    return model_->text(view_->sourceRow(rows.first().row()), 0);
}

void Form1::changeSelected(QStringView procedure, const QString& undoName, int refillStep,
                           const std::function<void(ErrorTrap&, const QString&)>& change)
{
    ErrorTrap trap(u"Form1", procedure);
    if (trap.test(100, [&] { return listIsEmpty(); }))
        return;
    QString id;
    // Without a selected row there is no entry to act on: report it and stop.
    if (!trap.step(102, [&] { id = selectedId(); }))
        return;
    history_->record(undoName, [&] { change(trap, id); });
    trap.step(refillStep, [&] { ListData(); });
}

void Form1::openEntryWindow(ErrorTrap& trap, int firstStep, const QString& id, const QString& caption)
{
    Form2 form(this);
    trap.step(firstStep, [&] { form.m_ID = id; });
    trap.step(firstStep + 2, [&] { form.setCaption(caption); });
    trap.step(firstStep + 4, [&] { form.exec(); });
}

void Form1::PushButton2_Click()
{
    ErrorTrap trap(u"Form1", u"PushButton2_Click");
    history_->record(tr("Add"), [&] { openEntryWindow(trap, 100, QString(), u"Add New"_s); });
    trap.step(106, [&] { ListData(); });
}

void Form1::PushButton1_Click()
{
    changeSelected(u"PushButton1_Click", tr("Edit"), 108,
                   [this](ErrorTrap& trap, const QString& id) { openEntryWindow(trap, 102, id, u"Edit Data"_s); });
}

void Form1::PushButton3_Click()
{
    changeSelected(u"PushButton3_Click", tr("Delete"), 104, [](ErrorTrap& trap, const QString& id) {
        trap.step(102, [&] { Conn().execute(deleteEntry(id)); });
    });
}

void Form1::PushButton4_Click()
{
    changeSelected(u"PushButton4_Click", tr("Duplicate"), 112, [](ErrorTrap& trap, const QString& id) {
        Recordset rs;
        const bool opened = trap.step(104, [&] { rs.open(selectEntry(id), Conn(), adOpenStatic, adLockReadOnly); });
        if (opened) {
            if (trap.test(106, [&] { return !rs.eof(); }))
                trap.step(108, [&] { Conn().execute(insertCopy(copiedFields(rs))); });
            trap.step(110, [&] { rs.close(); });
        }
    });
}

void Form1::PushButton8_Click()
{
    ErrorTrap trap(u"Form1", u"PushButton8_Click");
    trap.step(100,
              [&] { MsgBox(u"Questions? Please contact Team Marrowfen at "_s + QString::fromUtf16(contactAddress)); });
}
