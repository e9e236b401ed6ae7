#include "importing/rowsinledger.h"

NewEntry storedEntry(const ImportedEntry& entry)
{
    return {entry.date,        entry.amount,    entry.direction,     entry.reason,
            entry.fromCompany, entry.toCompany, entry.paymentMethod, entry.notes};
}

RowsInLedger::RowsInLedger(LedgerEntries ledger) : ledger_(std::move(ledger)) {}

RowsInLedger::~RowsInLedger() = default;

std::vector<bool> RowsInLedger::find(const std::vector<ImportRow>& rows)
{
    QDate first, last;
    for (const ImportRow& row : rows) {
        if (!row.entry)
            continue;
        if (!first.isValid() || row.entry->date < first)
            first = row.entry->date;
        if (!last.isValid() || row.entry->date > last)
            last = row.entry->date;
    }
    std::vector<bool> found(rows.size());
    try {
        if (!index_ || first != first_ || last != last_) {
            index_.reset();
            index_ = std::make_unique<LedgerEntryIndex>(ledger_.connection(), first, last);
            first_ = first;
            last_ = last;
        }
        for (size_t i = 0; i < rows.size(); ++i)
            found[i] = rows[i].entry && index_->contains(storedEntry(*rows[i].entry));
    } catch (...) {
        // Read the ledger afresh next time rather than trust an index that failed.
        index_.reset();
        throw;
    }
    return found;
}
