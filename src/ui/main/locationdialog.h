#pragma once

#include <QDialog>

class LedgerLocation;
class QLineEdit;

// "Ledger location": where the ledger is now, and the connection string of a server ledger to use
// instead (empty for the private file), which OK hands back unchanged. The same dialog asks for the
// server a copy of the ledger goes to.
class LocationDialog : public QDialog
{
    Q_OBJECT

public:
    enum class Purpose { Use, CopyTo };

    LocationDialog(const LedgerLocation& current, QWidget* parent, Purpose purpose = Purpose::Use);

    QString text() const;

private:
    QLineEdit* text_;
};
