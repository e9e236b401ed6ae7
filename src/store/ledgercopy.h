#pragma once

#include "store/ledgerfile.h"

class Connection;

// Whether the ledger copied into must be empty, or has its contents replaced.
enum class CopyInto { EmptyLedger, ReplacingItsContents };

// Copies a whole ledger between two connections of either engine: every entry, repeating entry and
// record of posted occurrences, each with its id. `from` is read as one moment of it; `to` is
// written in one batch and checked before that ends: the same number of entries and the same
// Received and Paid sums as read, counted here on both sides so that both engines add alike. Ids
// given later in `to` lie above every copied one. Throws StoreError saying what is wrong (a ledger
// that is not empty, entries whose dates a server ledger cannot hold, a check that failed); `to`
// is then as it was. Returns what was copied.
LedgerSummary copyLedgerContents(Connection& from, Connection& to, CopyInto into);

// What a ledger holds: its entries and their Received and Paid sums, added in id order.
LedgerSummary tallyLedger(Connection& ledger);
