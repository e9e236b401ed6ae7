#pragma once

#include "repeating/repeatrule.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QRadioButton;
class QSpinBox;

// "Repeat": how often an entry comes back. Every N days, weeks, months or years; for months and
// years on a day of the month or on its last day; from a start date; ending never, on a date or
// after a number of times. It shows the rule in words and its next dates as they are chosen, and
// keeps a rule it cannot store from being accepted, saying why.
class RepeatDialog : public QDialog
{
    Q_OBJECT

public:
    RepeatDialog(const RepeatRule& rule, QWidget* parent);

    // The rule as the dialog shows it.
    RepeatRule rule() const;

    void accept() override;

private:
    void buildControls();
    void showRule(const RepeatRule& rule);
    void follow();

    RepeatRule kept_; // what the dialog does not edit: the id, the entry, paused
    QSpinBox* every_ = nullptr;
    QComboBox* unit_ = nullptr;
    QSpinBox* day_ = nullptr;
    QCheckBox* lastDay_ = nullptr;
    QDateEdit* start_ = nullptr;
    QRadioButton* endNever_ = nullptr;
    QRadioButton* endOnDate_ = nullptr;
    QRadioButton* endAfter_ = nullptr;
    QDateEdit* endDate_ = nullptr;
    QSpinBox* endCount_ = nullptr;
    QLabel* summary_ = nullptr;
};
