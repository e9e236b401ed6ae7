#include "cli/ledgerscan.h"

void scanEntries(Connection& ledger, const DateRange& range, const std::function<void(const EntryRows&)>& visit)
{
    EntryRows rows;
    LedgerEntries(ledger).readAll(rows);
    rows.requireEveryColumn();
    for (; !rows.atEnd(); rows.next())
        if (range.holds(rows.date()))
            visit(rows);
}
