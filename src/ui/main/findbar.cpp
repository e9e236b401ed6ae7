#include "ui/main/findbar.h"

#include "base/clock.h"
#include "ledgerlist/ledgerview.h"
#include "money/moneyformat.h"
#include "money/numberparser.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QShortcut>
#include <QSignalBlocker>
#include <QToolButton>
#include <cmath>
#include <limits>

namespace {

QDateEdit* makeDateEdit(QWidget* parent, const QString& accessibleName)
{
    auto* edit = new QDateEdit(today(), parent);
    edit->setCalendarPopup(true);
    edit->setEnabled(false);
    edit->setAccessibleName(accessibleName);
    return edit;
}

QLineEdit* makeAmountField(QWidget* parent, const QString& placeholder)
{
    auto* field = new QLineEdit(parent);
    field->setPlaceholderText(placeholder);
    field->setAccessibleName(placeholder);
    field->setMaximumWidth(90);
    return field;
}

} // namespace

FindBar::FindBar(LedgerView& view, QWidget* parent) : QWidget(parent), view_(view)
{
    setObjectName(QStringLiteral("FindBar"));
    setAutoFillBackground(true);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 2, 0, 2);
    grid->setVerticalSpacing(2);

    auto* top = new QHBoxLayout;
    auto* findLabel = new QLabel(tr("&Find:"), this);
    text_ = new QLineEdit(this);
    text_->setObjectName(QStringLiteral("FindText"));
    text_->setPlaceholderText(tr("Reason, From, To, Method or Notes"));
    text_->setClearButtonEnabled(true);
    findLabel->setBuddy(text_);
    useFrom_ = new QCheckBox(tr("F&rom"), this);
    useFrom_->setObjectName(QStringLiteral("FindFrom"));
    from_ = makeDateEdit(this, tr("From date"));
    from_->setObjectName(QStringLiteral("FindFromDate"));
    useTo_ = new QCheckBox(tr("&To"), this);
    useTo_->setObjectName(QStringLiteral("FindTo"));
    to_ = makeDateEdit(this, tr("To date"));
    to_->setObjectName(QStringLiteral("FindToDate"));
    auto* close = new QToolButton(this);
    close->setObjectName(QStringLiteral("FindClose"));
    close->setText(QStringLiteral("×"));
    close->setToolTip(tr("Close the find bar (Escape)"));
    close->setAccessibleName(tr("Close the find bar"));
    close->setAutoRaise(true);
    top->addWidget(findLabel);
    top->addWidget(text_, 1);
    top->addWidget(useFrom_);
    top->addWidget(from_);
    top->addWidget(useTo_);
    top->addWidget(to_);
    top->addWidget(close);
    grid->addLayout(top, 0, 0);

    auto* bottom = new QHBoxLayout;
    direction_ = new QComboBox(this);
    direction_->setObjectName(QStringLiteral("FindDirection"));
    direction_->addItems({tr("Received and Paid Out"), tr("Received"), tr("Paid Out")});
    direction_->setAccessibleName(tr("Direction"));
    auto* amountLabel = new QLabel(tr("&Amount:"), this);
    minAmount_ = makeAmountField(this, tr("at least"));
    minAmount_->setObjectName(QStringLiteral("FindMinAmount"));
    maxAmount_ = makeAmountField(this, tr("at most"));
    maxAmount_->setObjectName(QStringLiteral("FindMaxAmount"));
    amountLabel->setBuddy(minAmount_);
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("FindSummary"));
    bottom->addWidget(direction_);
    bottom->addWidget(amountLabel);
    bottom->addWidget(minAmount_);
    bottom->addWidget(maxAmount_);
    exact_ = new QToolButton(this);
    exact_->setObjectName(QStringLiteral("FindExact"));
    exact_->setToolTip(tr("Show entries with any text in this field again"));
    exact_->hide();
    bottom->addWidget(exact_);
    bottom->addWidget(summary_, 1);
    grid->addLayout(bottom, 1, 0);

    connect(text_, &QLineEdit::textChanged, this, &FindBar::apply);
    connect(text_, &QLineEdit::returnPressed, this, &FindBar::toList);
    for (QCheckBox* box : {useFrom_, useTo_})
        connect(box, &QCheckBox::toggled, this, &FindBar::apply);
    connect(useFrom_, &QCheckBox::toggled, from_, &QWidget::setEnabled);
    connect(useTo_, &QCheckBox::toggled, to_, &QWidget::setEnabled);
    for (QDateEdit* edit : {from_, to_})
        connect(edit, &QDateEdit::dateChanged, this, &FindBar::apply);
    for (QLineEdit* field : {minAmount_, maxAmount_})
        connect(field, &QLineEdit::textChanged, this, &FindBar::apply);
    connect(direction_, &QComboBox::currentIndexChanged, this, &FindBar::apply);
    connect(close, &QToolButton::clicked, this, &FindBar::close);
    connect(exact_, &QToolButton::clicked, this, [this] {
        exactText_.reset();
        amountRequired_ = false;
        exact_->hide();
        apply();
    });
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this, nullptr, nullptr, Qt::WidgetWithChildrenShortcut),
            &QShortcut::activated, this, &FindBar::close);
    connect(&view_, &LedgerView::shownChanged, this, &FindBar::showSummary);
    hide();
}

int FindBar::barHeight() const
{
    return sizeHint().height();
}

void FindBar::open()
{
    if (isHidden()) {
        show();
        Q_EMIT visibilityChanged();
    }
    text_->setFocus();
    text_->selectAll();
    apply();
}

void FindBar::close()
{
    exactText_.reset();
    amountRequired_ = false;
    exact_->hide();
    view_.setFilter({});
    hide();
    Q_EMIT visibilityChanged();
}

void FindBar::openWith(const LedgerFilter& filter)
{
    {
        // One filter at the end, not one per control set on the way.
        const QSignalBlocker blockers[] = {
            QSignalBlocker(text_), QSignalBlocker(useFrom_),   QSignalBlocker(from_),      QSignalBlocker(useTo_),
            QSignalBlocker(to_),   QSignalBlocker(minAmount_), QSignalBlocker(maxAmount_), QSignalBlocker(direction_)};
        text_->setText(filter.text);
        useFrom_->setChecked(filter.from.has_value());
        from_->setEnabled(filter.from.has_value());
        if (filter.from)
            from_->setDate(*filter.from);
        useTo_->setChecked(filter.to.has_value());
        to_->setEnabled(filter.to.has_value());
        if (filter.to)
            to_->setDate(*filter.to);
        const QLocale locale;
        amountRequired_ = filter.minAmount && std::isinf(*filter.minAmount);
        minAmount_->setText(filter.minAmount && !amountRequired_ ? locale.toString(*filter.minAmount) : QString());
        maxAmount_->setText(filter.maxAmount ? locale.toString(*filter.maxAmount) : QString());
        direction_->setCurrentIndex(filter.direction ? storedValue(*filter.direction) : 0);
    }
    exactText_ = filter.exactText;
    if (exactText_) {
        exact_->setText(tr("%1 is \u201c%2\u201d  \u00d7").arg(rankedFieldName(exactText_->first), exactText_->second));
    } else {
        exact_->setText(tr("Entries with an amount  \u00d7"));
    }
    exact_->setAccessibleName(exact_->text());
    exact_->setVisible(exactText_ || amountRequired_);
    open();
}

std::optional<double> FindBar::amountIn(QLineEdit* field, QString& bad) const
{
    const QString typed = field->text().trimmed();
    if (typed.isEmpty())
        return std::nullopt;
    const std::optional<double> amount = parseNumber(typed);
    if (!amount)
        bad = tr("\"%1\" is not an amount.").arg(typed);
    // A field that holds no number is marked, and asks nothing until it does.
    field->setStyleSheet(amount ? QString() : QStringLiteral("QLineEdit { background: #f8d7da; }"));
    return amount;
}

void FindBar::apply()
{
    if (isHidden())
        return;
    LedgerFilter filter;
    filter.text = text_->text();
    if (useFrom_->isChecked())
        filter.from = from_->date();
    if (useTo_->isChecked())
        filter.to = to_->date();
    problem_.clear();
    filter.minAmount = amountIn(minAmount_, problem_);
    filter.maxAmount = amountIn(maxAmount_, problem_);
    // The choices stand in the order of the directions' stored values, after "both".
    filter.direction = directionFromStored(direction_->currentIndex());
    filter.exactText = exactText_;
    if (amountRequired_ && !filter.minAmount)
        filter.minAmount = -std::numeric_limits<double>::infinity();
    view_.setFilter(filter);
    showSummary();
}

void FindBar::showSummary()
{
    const LedgerView::Totals& shown = view_.shownTotals();
    const QLocale locale;
    QString text =
        tr("%1 of %2 entries")
            .arg(locale.toString(qlonglong(shown.entries)), locale.toString(view_.sourceModel()->rowCount()));
    text += QStringLiteral("    ") + tr("Received: %1").arg(FormatMoney(shown.received)) + QStringLiteral("    ") +
            tr("Paid: %1").arg(FormatMoney(shown.paid)) + QStringLiteral("    ") +
            tr("Balance: %1").arg(FormatMoney(shown.received - shown.paid));
    if (!problem_.isEmpty())
        text = problem_ + QStringLiteral("    ") + text;
    summary_->setText(text);
}
