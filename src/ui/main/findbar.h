#pragma once

#include "ledgerlist/ledgerfilter.h"

#include <QWidget>

class LedgerView;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QToolButton;

// The find bar under the list: filters the list as the user types (text in Reason, From, To,
// Method and Notes without regard to case or accents; an optional date range, amount range and
// direction) and says how many entries it shows and what they add up to. Escape closes it and
// shows the whole ledger again.
class FindBar : public QWidget
{
    Q_OBJECT

public:
    FindBar(LedgerView& view, QWidget* parent);

    // Shows the bar (if hidden) and puts the cursor in its text field.
    void open();
    // Hides the bar and shows the whole ledger again.
    void close();
    // Opens the bar set to `filter`, which may ask what the bar's fields cannot show: one text
    // field equal to a text exactly, or only entries with an amount (the entries of a statistics
    // bar). Those conditions show as one button that drops them.
    void openWith(const LedgerFilter& filter);

    // The height the bar takes under the list.
    int barHeight() const;

    QLineEdit* textField() const { return text_; }

Q_SIGNALS:
    void visibilityChanged();
    // Return in the text field: the user wants to go to the list.
    void toList();

private:
    void apply();
    void showSummary();
    // The amount typed in a field, or nothing; sets `bad` when the field holds no number.
    std::optional<double> amountIn(QLineEdit* field, QString& bad) const;

    LedgerView& view_;
    QLineEdit* text_;
    QCheckBox* useFrom_;
    QDateEdit* from_;
    QCheckBox* useTo_;
    QDateEdit* to_;
    QLineEdit* minAmount_;
    QLineEdit* maxAmount_;
    QComboBox* direction_;
    QLabel* summary_;
    QToolButton* exact_;
    decltype(LedgerFilter::exactText) exactText_;
    bool amountRequired_ = false;
    QString problem_;
};
