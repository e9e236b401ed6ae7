#include "ui/repeating/repeatdialog.h"

#include "app/prompter.h"
#include "base/clock.h"
#include "repeating/ruletext.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QRadioButton>
#include <QSpinBox>

namespace {

// How many coming dates the dialog lists.
constexpr size_t shownDates = 3;

} // namespace

RepeatDialog::RepeatDialog(const RepeatRule& rule, QWidget* parent) : QDialog(parent), kept_(rule)
{
    setObjectName(QStringLiteral("Repeat"));
    setWindowTitle(tr("Repeat"));
    buildControls();
    showRule(rule);
    follow();
}

void RepeatDialog::buildControls()
{
    every_ = new QSpinBox(this);
    every_->setObjectName(QStringLiteral("RepeatEvery"));
    every_->setRange(1, 999);
    every_->setAccessibleName(tr("Every"));
    unit_ = new QComboBox(this);
    unit_->setObjectName(QStringLiteral("RepeatUnit"));
    // In the order of RepeatUnit's values, from 1.
    unit_->addItems({tr("days"), tr("weeks"), tr("months"), tr("years")});
    unit_->setAccessibleName(tr("Unit"));
    day_ = new QSpinBox(this);
    day_->setObjectName(QStringLiteral("RepeatDay"));
    day_->setRange(1, 31);
    day_->setAccessibleName(tr("Day of the month"));
    lastDay_ = new QCheckBox(tr("&Last day of the month"), this);
    lastDay_->setObjectName(QStringLiteral("RepeatLastDay"));
    start_ = new QDateEdit(this);
    start_->setObjectName(QStringLiteral("RepeatStart"));
    start_->setCalendarPopup(true);
    endNever_ = new QRadioButton(tr("&Never"), this);
    endNever_->setObjectName(QStringLiteral("RepeatEndNever"));
    endOnDate_ = new QRadioButton(tr("&On"), this);
    endOnDate_->setObjectName(QStringLiteral("RepeatEndOnDate"));
    endAfter_ = new QRadioButton(tr("&After"), this);
    endAfter_->setObjectName(QStringLiteral("RepeatEndAfter"));
    endDate_ = new QDateEdit(this);
    endDate_->setObjectName(QStringLiteral("RepeatEndDate"));
    endDate_->setCalendarPopup(true);
    endDate_->setAccessibleName(tr("End date"));
    endCount_ = new QSpinBox(this);
    endCount_->setObjectName(QStringLiteral("RepeatEndCount"));
    endCount_->setRange(1, 9999);
    endCount_->setSuffix(tr(" times"));
    endCount_->setAccessibleName(tr("Number of times"));
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("RepeatSummary"));
    summary_->setWordWrap(true);

    auto* everyRow = new QHBoxLayout;
    everyRow->addWidget(every_);
    everyRow->addWidget(unit_);
    everyRow->addStretch();
    auto* dayRow = new QHBoxLayout;
    dayRow->addWidget(day_);
    dayRow->addWidget(lastDay_);
    dayRow->addStretch();
    auto* ends = new QGridLayout;
    ends->addWidget(endNever_, 0, 0);
    ends->addWidget(endOnDate_, 1, 0);
    ends->addWidget(endDate_, 1, 1);
    ends->addWidget(endAfter_, 2, 0);
    ends->addWidget(endCount_, 2, 1);
    ends->setColumnStretch(2, 1);

    auto* form = new QFormLayout;
    const auto labelFor = [this](const QString& text, QWidget* field) {
        auto* label = new QLabel(text, this);
        label->setBuddy(field);
        return label;
    };
    form->addRow(labelFor(tr("&Every:"), every_), everyRow);
    form->addRow(labelFor(tr("On &day:"), day_), dayRow);
    form->addRow(labelFor(tr("&Starting:"), start_), start_);
    form->addRow(tr("Ends:"), ends);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(summary_);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &RepeatDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    for (QSpinBox* spin : {every_, day_, endCount_})
        connect(spin, &QSpinBox::valueChanged, this, &RepeatDialog::follow);
    connect(unit_, &QComboBox::currentIndexChanged, this, &RepeatDialog::follow);
    for (QDateEdit* date : {start_, endDate_})
        connect(date, &QDateEdit::dateChanged, this, &RepeatDialog::follow);
    for (QAbstractButton* button :
         {static_cast<QAbstractButton*>(lastDay_), static_cast<QAbstractButton*>(endNever_),
          static_cast<QAbstractButton*>(endOnDate_), static_cast<QAbstractButton*>(endAfter_)})
        connect(button, &QAbstractButton::toggled, this, &RepeatDialog::follow);
}

void RepeatDialog::showRule(const RepeatRule& rule)
{
    every_->setValue(rule.every);
    unit_->setCurrentIndex(int(rule.unit) - 1);
    const bool lastDay = rule.dayOfMonth == RepeatRule::lastDayOfMonth;
    lastDay_->setChecked(lastDay);
    day_->setValue(lastDay ? rule.start.day() : rule.dayOfMonth);
    start_->setDate(rule.start);
    endNever_->setChecked(rule.end == RepeatEnd::Never);
    endOnDate_->setChecked(rule.end == RepeatEnd::OnDate);
    endAfter_->setChecked(rule.end == RepeatEnd::AfterCount);
    endDate_->setDate(rule.endDate.isValid() ? rule.endDate : rule.start.addYears(1));
    endCount_->setValue(std::max(1, rule.endCount));
}

RepeatRule RepeatDialog::rule() const
{
    RepeatRule rule = kept_;
    rule.every = every_->value();
    rule.unit = RepeatUnit(unit_->currentIndex() + 1);
    rule.dayOfMonth = lastDay_->isChecked() ? RepeatRule::lastDayOfMonth : day_->value();
    rule.start = start_->date();
    rule.end = endOnDate_->isChecked()  ? RepeatEnd::OnDate
               : endAfter_->isChecked() ? RepeatEnd::AfterCount
                                        : RepeatEnd::Never;
    rule.endDate = endDate_->date();
    rule.endCount = endCount_->value();
    return rule;
}

void RepeatDialog::follow()
{
    const RepeatRule shown = rule();
    const bool monthly = shown.unit == RepeatUnit::Months || shown.unit == RepeatUnit::Years;
    lastDay_->setEnabled(monthly);
    day_->setEnabled(monthly && !lastDay_->isChecked());
    endDate_->setEnabled(endOnDate_->isChecked());
    endCount_->setEnabled(endAfter_->isChecked());

    const QString problem = whyInvalid(shown);
    if (!problem.isEmpty()) {
        summary_->setText(problem);
        return;
    }
    // What the offer would show once the rule is kept, and the dates after it.
    const size_t past = occurrencesUpTo(shown, today()).size();
    QStringList next;
    for (const QDate& date : nextOccurrences(shown, today().addDays(1), shownDates))
        next.append(QLocale().toString(date, QLocale::ShortFormat));
    const QString what = directionText(shown.entry.direction) + QStringLiteral(", ") + shown.entry.reason;
    QString text = tr("%1: %2.").arg(what, describe(shown)) + u'\n' +
                   (next.isEmpty() ? tr("No date is left to come.") : tr("Next: %1").arg(next.join(u", ")));
    if (past > 0)
        text += u'\n' + tr("Due already: %1, offered for adding once the rule is kept.").arg(past);
    summary_->setText(text);
}

void RepeatDialog::accept()
{
    const RepeatRule chosen = rule();
    QString problem = whyInvalid(chosen);
    // A rule that ends before its first date would sit in the list and never post anything.
    if (problem.isEmpty() && chosen.end == RepeatEnd::OnDate && chosen.endDate < chosen.start)
        problem = tr("This rule ends before it starts, so it would never add an entry.");
    if (!problem.isEmpty()) {
        MsgBox(problem);
        return;
    }
    QDialog::accept();
}
