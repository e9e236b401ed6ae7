#pragma once

#include "importing/importlayout.h"
#include "store/entryimport.h"
#include "store/ledgerentries.h"

#include <QDate>
#include <memory>
#include <vector>

// An imported entry as the ledger stores it.
NewEntry storedEntry(const ImportedEntry& entry);

// Which rows of a statement the ledger holds already ("the same" as LedgerEntryIndex tells it). The
// ledger is read again only when the rows' dates span another range, so that rows converted anew
// whenever a setting changes are looked up at once.
class RowsInLedger
{
public:
    explicit RowsInLedger(LedgerEntries ledger);
    ~RowsInLedger();
    RowsInLedger(const RowsInLedger&) = delete;
    RowsInLedger& operator=(const RowsInLedger&) = delete;

    // One flag per row; a row without an entry is never held. Throws StoreError when the ledger
    // cannot be read.
    std::vector<bool> find(const std::vector<ImportRow>& rows);

private:
    LedgerEntries ledger_;
    QDate first_, last_; // the span the index was read for
    std::unique_ptr<LedgerEntryIndex> index_;
};
