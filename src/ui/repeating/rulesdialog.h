#pragma once

#include "repeating/repeatstore.h"

#include <QDialog>

class QPushButton;
class QTreeWidget;

// "Repeating entries": the rules, each with its next date, what it posts, its amount and how
// often, to change, pause or resume, or delete (the entries it posted stay).
class RulesDialog : public QDialog
{
    Q_OBJECT

public:
    RulesDialog(const RepeatStore& store, QWidget* parent);

private:
    void fill();
    // The rule of the selected row; none selected gives a rule with id 0.
    RepeatRule selected() const;
    void changeSelected();
    void pauseSelected();
    void deleteSelected();
    // Runs a change of the store, saying what went wrong instead of ending the dialog.
    void tryChange(const std::function<void()>& change);

    const RepeatStore& store_;
    std::vector<RepeatRule> rules_;
    QTreeWidget* list_;
    QPushButton* change_;
    QPushButton* pause_;
    QPushButton* delete_;
};
