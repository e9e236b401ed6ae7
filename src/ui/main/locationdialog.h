#pragma once

#include <QDialog>

class LedgerLocation;
class QLineEdit;

// "Ledger location": where the ledger is now, and the connection string of a server ledger to use
// instead (empty for the private file), which OK hands back unchanged.
class LocationDialog : public QDialog
{
    Q_OBJECT

public:
    LocationDialog(const LedgerLocation& current, QWidget* parent);

    QString text() const;

private:
    QLineEdit* text_;
};
