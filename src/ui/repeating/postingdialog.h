#pragma once

#include "repeating/repeatstore.h"

#include <QDialog>
#include <vector>

class QTableWidget;

// "Repeating entries due": the occurrences due up to today, in date order, each ticked with its
// date, what it is and an amount that can be changed for this once. Add posts the ticked ones,
// Skip marks them done without an entry; closing the window leaves them for the next time.
class PostingDialog : public QDialog
{
    Q_OBJECT

public:
    enum Choice { Closed, Add, Skip };

    PostingDialog(std::vector<Occurrence> due, QWidget* parent);

    Choice choice() const { return choice_; }
    // The ticked occurrences, with the amounts as typed.
    std::vector<Occurrence> chosen() const;

private:
    void choose(Choice choice);

    std::vector<Occurrence> due_;
    QTableWidget* table_;
    Choice choice_ = Closed;
};
