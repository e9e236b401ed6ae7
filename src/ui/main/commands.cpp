// Form1's commands on entries: add, edit, delete, duplicate, and the help message.
#include "ui/main/form1.h"

#include "app/errortrap.h"
#include "app/prompter.h"
#include "base/failure.h"
#include "ledgerlist/ledgermodel.h"
#include "ledgerlist/ledgerview.h"
#include "ui/entry/form2.h"
#include "ui/main/ledgerhistory.h"

#include <QItemSelectionModel>
#include <QTableView>

using namespace Qt::StringLiterals;

namespace {

constexpr auto contactAddress = u"https://marrowfen.example/contact/";

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
    Form2 form(ledger_, this);
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
    changeSelected(u"PushButton3_Click", tr("Delete"), 104, [this](ErrorTrap& trap, const QString& id) {
        trap.step(102, [&] {
            try {
                ledger_.remove(id);
            } catch (const EntryGone&) {
                MsgBox(tr("This entry was already deleted by another program."));
            }
        });
    });
}

void Form1::PushButton4_Click()
{
    changeSelected(u"PushButton4_Click", tr("Duplicate"), 112, [this](ErrorTrap& trap, const QString& id) {
        EntryRows rows;
        if (trap.step(104, [&] { ledger_.readOne(rows, id); })) {
            if (trap.test(106, [&] { return !rows.atEnd(); }))
                trap.step(108, [&] { ledger_.addCopy(rows.entry()); });
            else
                trap.step(106, [&] {
                    MsgBox(tr("This entry is no longer in the ledger: another program deleted it, so there is "
                              "nothing to duplicate."));
                });
            trap.step(110, [&] { rows.close(); });
        }
    });
}

void Form1::PushButton8_Click()
{
    ErrorTrap trap(u"Form1", u"PushButton8_Click");
    trap.step(100,
              [&] { MsgBox(u"Questions? Please contact Team Marrowfen at "_s + QString::fromUtf16(contactAddress)); });
}
