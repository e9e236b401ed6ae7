#include "ui/repeating/rulesdialog.h"

#include "app/prompter.h"
#include "base/clock.h"
#include "repeating/ruletext.h"
#include "ui/repeating/repeatdialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// The first date of the rule from today on; invalid when none is left.
QDate nextDate(const RepeatRule& rule)
{
    const std::vector<QDate> next = nextOccurrences(rule, today(), 1);
    return next.empty() ? QDate() : next.front();
}

} // namespace

RulesDialog::RulesDialog(const RepeatStore& store, QWidget* parent)
    : QDialog(parent), store_(store), list_(new QTreeWidget(this)), change_(new QPushButton(tr("&Change…"), this)),
      pause_(new QPushButton(tr("&Pause"), this)), delete_(new QPushButton(tr("&Delete"), this))
{
    setObjectName(QStringLiteral("RepeatingRules"));
    setWindowTitle(tr("Repeating entries"));
    list_->setObjectName(QStringLiteral("RepeatingRulesList"));
    list_->setRootIsDecorated(false);
    list_->setHeaderLabels({tr("Next"), tr("Entry"), tr("Amount"), tr("How often")});
    list_->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    list_->setAccessibleName(tr("Repeating entries"));
    change_->setObjectName(QStringLiteral("RepeatingChange"));
    pause_->setObjectName(QStringLiteral("RepeatingPause"));
    delete_->setObjectName(QStringLiteral("RepeatingDelete"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(change_);
    buttons->addWidget(pause_);
    buttons->addWidget(delete_);
    buttons->addStretch();
    auto* close = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addLayout(buttons);
    connect(close, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(change_, &QPushButton::clicked, this, &RulesDialog::changeSelected);
    connect(list_, &QTreeWidget::itemActivated, this, &RulesDialog::changeSelected);
    connect(pause_, &QPushButton::clicked, this, &RulesDialog::pauseSelected);
    connect(delete_, &QPushButton::clicked, this, &RulesDialog::deleteSelected);
    connect(list_, &QTreeWidget::currentItemChanged, this, [this] {
        const RepeatRule rule = selected();
        for (QPushButton* button : {change_, pause_, delete_})
            button->setEnabled(rule.id != 0);
        pause_->setText(rule.paused ? tr("&Resume") : tr("&Pause"));
    });
    fill();
    resize(720, 360);
}

void RulesDialog::fill()
{
    const qint64 current = selected().id;
    list_->clear();
    try {
        rules_ = store_.rules();
    } catch (const std::exception& error) {
        rules_.clear();
        MsgBox(tr("The repeating entries cannot be read: %1").arg(QString::fromUtf8(error.what())));
    }
    const QLocale locale;
    for (const RepeatRule& rule : rules_) {
        const QDate next = nextDate(rule);
        const QString when = rule.paused      ? tr("paused")
                             : next.isValid() ? locale.toString(next, QLocale::ShortFormat)
                                              : tr("ended");
        auto* item = new QTreeWidgetItem(
            list_, {when, directionText(rule.entry.direction) + QStringLiteral(": ") + rule.entry.reason,
                    rule.entry.amountText, describe(rule)});
        item->setData(0, Qt::UserRole, rule.id);
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        if (rule.id == current || list_->topLevelItemCount() == 1)
            list_->setCurrentItem(item);
    }
    for (int c = 0; c < list_->columnCount(); ++c)
        list_->resizeColumnToContents(c);
    if (rules_.empty())
        for (QPushButton* button : {change_, pause_, delete_})
            button->setEnabled(false);
}

RepeatRule RulesDialog::selected() const
{
    const QTreeWidgetItem* item = list_->currentItem();
    const qint64 id = item ? item->data(0, Qt::UserRole).toLongLong() : 0;
    for (const RepeatRule& rule : rules_)
        if (rule.id == id)
            return rule;
    return {};
}

void RulesDialog::tryChange(const std::function<void()>& change)
{
    try {
        change();
    } catch (const std::exception& error) {
        MsgBox(tr("The repeating entry could not be changed: %1").arg(QString::fromUtf8(error.what())));
    }
    fill();
}

void RulesDialog::changeSelected()
{
    const RepeatRule rule = selected();
    if (rule.id == 0)
        return;
    RepeatDialog dialog(rule, this);
    if (dialog.exec() == QDialog::Accepted)
        tryChange([&] { store_.update(dialog.rule()); });
}

void RulesDialog::pauseSelected()
{
    const RepeatRule rule = selected();
    if (rule.id != 0)
        tryChange([&] { store_.setPaused(rule.id, !rule.paused); });
}

void RulesDialog::deleteSelected()
{
    const RepeatRule rule = selected();
    if (rule.id == 0 ||
        !prompter().askYesNo(
            tr("Delete the repeating entry \"%1\"? The entries it added stay in the ledger.").arg(rule.entry.reason),
            windowTitle()))
        return;
    tryChange([&] { store_.remove(rule.id); });
}
