#pragma once

#include <QDialog>

class LedgerEntries;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class SafetyNet;

// "Backups": the verified backups of the ledger, newest first, with the moment each was taken, its
// number of entries and its Received / Paid / Balance; Restore puts the chosen one in place of the
// ledger (after backing the ledger up).
class BackupsDialog : public QDialog
{
    Q_OBJECT

public:
    BackupsDialog(SafetyNet& safetyNet, const LedgerEntries& ledger, QWidget* parent);

private:
    void fill();
    void restoreSelected();
    QString restoreQuestion(const QTreeWidgetItem& item) const;

    SafetyNet& safetyNet_;
    const LedgerEntries& ledger_;
    QTreeWidget* list_;
    QPushButton* restore_;
};
