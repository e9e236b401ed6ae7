#include "ui/repeating/postingdialog.h"

#include "app/prompter.h"
#include "money/numberparser.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

enum Column { DateColumn, WhatColumn, AmountColumn, columnCount };

} // namespace

PostingDialog::PostingDialog(std::vector<Occurrence> due, QWidget* parent)
    : QDialog(parent), due_(std::move(due)), table_(new QTableWidget(int(due_.size()), columnCount, this))
{
    setObjectName(QStringLiteral("RepeatingDue"));
    setWindowTitle(tr("Repeating entries due"));
    table_->setObjectName(QStringLiteral("RepeatingDueList"));
    table_->setHorizontalHeaderLabels({tr("Date"), tr("Entry"), tr("Amount")});
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setSectionResizeMode(WhatColumn, QHeaderView::Stretch);
    table_->setAccessibleName(tr("Repeating entries due"));
    const QLocale locale;
    for (int row = 0; row < int(due_.size()); ++row) {
        const Entry& entry = due_[size_t(row)].entry;
        auto* date = new QTableWidgetItem(locale.toString(entry.date, QLocale::ShortFormat));
        date->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        date->setCheckState(Qt::Checked);
        auto* what = new QTableWidgetItem(directionText(entry.direction) + QStringLiteral(": ") + entry.reason +
                                          QStringLiteral(" (") + entry.fromCompany + QStringLiteral(" → ") +
                                          entry.toCompany + u')');
        what->setFlags(Qt::ItemIsEnabled);
        auto* amount = new QTableWidgetItem(entry.amountText);
        amount->setFlags(Qt::ItemIsEnabled | Qt::ItemIsEditable | Qt::ItemIsSelectable);
        amount->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        table_->setItem(row, DateColumn, date);
        table_->setItem(row, WhatColumn, what);
        table_->setItem(row, AmountColumn, amount);
    }
    table_->resizeColumnToContents(DateColumn);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* add = buttons->addButton(tr("&Add"), QDialogButtonBox::AcceptRole);
    QPushButton* skip = buttons->addButton(tr("&Skip"), QDialogButtonBox::DestructiveRole);
    buttons->addButton(QDialogButtonBox::Close);
    add->setObjectName(QStringLiteral("RepeatingAdd"));
    skip->setObjectName(QStringLiteral("RepeatingSkip"));
    add->setDefault(true);
    connect(add, &QPushButton::clicked, this, [this] { choose(Add); });
    connect(skip, &QPushButton::clicked, this, [this] { choose(Skip); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("These repeating entries fell due. Untick what should wait; an amount "
                                    "can be changed for this once."),
                                 this));
    layout->addWidget(table_);
    layout->addWidget(buttons);
    resize(640, 360);
}

std::vector<Occurrence> PostingDialog::chosen() const
{
    std::vector<Occurrence> ticked;
    for (int row = 0; row < table_->rowCount(); ++row) {
        if (table_->item(row, DateColumn)->checkState() != Qt::Checked)
            continue;
        Occurrence occurrence = due_[size_t(row)];
        occurrence.entry.amountText = table_->item(row, AmountColumn)->text().trimmed();
        ticked.push_back(occurrence);
    }
    return ticked;
}

void PostingDialog::choose(Choice choice)
{
    if (choice == Add) {
        // An amount the ledger cannot read would fail the whole posting: say which one first.
        for (const Occurrence& occurrence : chosen()) {
            if (!parseNumber(occurrence.entry.amountText)) {
                MsgBox(tr("\"%1\" is not an amount (%2, %3).")
                           .arg(occurrence.entry.amountText, occurrence.entry.reason,
                                QLocale().toString(occurrence.entry.date, QLocale::ShortFormat)));
                return;
            }
        }
    }
    choice_ = choice;
    accept();
}
