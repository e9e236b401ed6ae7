#include "ui/backups/backupsdialog.h"

#include "app/prompter.h"
#include "money/moneyformat.h"
#include "store/backups.h"
#include "store/ledgerentries.h"
#include "ui/backups/safetynet.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {
constexpr int pathRole = Qt::UserRole;
constexpr int takenRole = Qt::UserRole + 1;
} // namespace

BackupsDialog::BackupsDialog(SafetyNet& safetyNet, const LedgerEntries& ledger, QWidget* parent)
    : QDialog(parent), safetyNet_(safetyNet), ledger_(ledger)
{
    setObjectName(u"BackupsDialog"_s);
    setWindowTitle(tr("Backups"));
    auto* layout = new QVBoxLayout(this);
    auto* where = new QLabel(tr("Backups are kept in %1").arg(safetyNet.backups().folder()), this);
    where->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(where);

    list_ = new QTreeWidget(this);
    list_->setObjectName(u"BackupsList"_s);
    list_->setAccessibleName(tr("Backups"));
    list_->setRootIsDecorated(false);
    list_->setHeaderLabels({tr("Taken"), tr("Entries"), tr("Received"), tr("Paid"), tr("Balance")});
    list_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // The moment takes the spare width; the amounts stay together at the right.
    list_->header()->setStretchLastSection(false);
    list_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    layout->addWidget(list_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    restore_ = buttons->addButton(tr("&Restore"), QDialogButtonBox::ActionRole);
    restore_->setObjectName(u"RestoreButton"_s);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(restore_, &QPushButton::clicked, this, &BackupsDialog::restoreSelected);
    connect(list_, &QTreeWidget::itemDoubleClicked, this, &BackupsDialog::restoreSelected);
    connect(list_, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { restore_->setEnabled(current != nullptr); });

    fill();
    resize(640, 360);
}

void BackupsDialog::fill()
{
    list_->clear();
    const QLocale locale;
    for (const BackupFile& backup : safetyNet_.backups().list()) {
        QStringList texts{locale.toString(backup.taken, QLocale::ShortFormat)};
        try {
            const LedgerSummary summary = safetyNet_.backups().summary(backup);
            texts << locale.toString(summary.entries) << FormatMoney(summary.received) << FormatMoney(summary.paid)
                  << FormatMoney(summary.received - summary.paid);
        } catch (const std::exception& error) {
            texts << tr("cannot be read: %1").arg(QString::fromUtf8(error.what()));
        }
        auto* item = new QTreeWidgetItem(list_, texts);
        item->setData(0, pathRole, backup.path);
        item->setData(0, takenRole, backup.taken);
        for (int column = 1; column < texts.size(); ++column)
            item->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
    }
    list_->setCurrentItem(list_->topLevelItem(0));
    restore_->setEnabled(list_->currentItem() != nullptr);
}

QString BackupsDialog::restoreQuestion(const QTreeWidgetItem& item) const
{
    const QString reversible =
        tr("The ledger as it is now is backed up first, so this can be reversed from this list.");
    const LedgerLocation& location = safetyNet_.location();
    if (!location.onServer())
        return tr("Replace the ledger with the backup taken %1 (%2 entries)?\n\n%3")
            .arg(item.text(0), item.text(1), reversible);
    // Others may be working in a shared ledger: say which one, and how much of it is replaced.
    return tr("Replace the %1 entries of the ledger on %2 with the backup taken %3 (%4 entries)? Everyone using "
              "that ledger sees the change.\n\n%5")
        .arg(ledger_.count())
        .arg(location.describe(), item.text(0), item.text(1), reversible);
}

void BackupsDialog::restoreSelected()
{
    const QTreeWidgetItem* item = list_->currentItem();
    if (!item)
        return;
    const BackupFile backup{item->data(0, pathRole).toString(), item->data(0, takenRole).toDateTime()};
    if (!prompter().askYesNo(restoreQuestion(*item), windowTitle()))
        return;
    if (safetyNet_.restore(backup))
        accept();
    else
        fill();
}
