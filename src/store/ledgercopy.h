#pragma once

#include "base/progress.h"
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
// is then as it was. Returns what was copied. `progress` counts the entries copied, then those
// checked: twice the entries in all. Cancelled leaves `to` as it was too.
LedgerSummary copyLedgerContents(Connection& from, Connection& to, CopyInto into, const ProgressCheck& progress = {});

// Writes the ledger `from` holds as a new ledger file at `path` (whatever stood there is replaced),
// private to the user, made from the ledger schema and copied and checked as copyLedgerContents
// does. A failure leaves no file at `path`.
LedgerSummary writeLedgerFile(Connection& from, const QString& path, const ProgressCheck& progress = {});

// The same for a file the user names: written beside `path` under a name of its own and put in its
// place only once the file on the disk holds what was read. Whatever stood at `path` is untouched
// by a failure.
LedgerSummary copyLedgerToFile(Connection& from, const QString& path, const ProgressCheck& progress = {});

// What a ledger holds: its entries and their Received and Paid sums, added in id order.
LedgerSummary tallyLedger(Connection& ledger);
