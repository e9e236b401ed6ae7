#pragma once

class LedgerEntries;
class QWidget;

// The Create/Print Report command of the main window: copies the entries of `ledger` into the report's
// staging table and shows the report of it in a modal preview owned by `owner`, from which the
// user prints. `balance` is the balance of the main window's summary, printed under "Balance".
void printLedgerReport(QWidget* owner, const LedgerEntries& ledger, double balance);
