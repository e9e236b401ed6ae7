#pragma once

#include "store/ledgerfile.h"

#include <QString>

// Restoring a ledger from a file that may come from anywhere (a backup, a copy from another
// machine, a file someone handed over). Only the entries come back: the file's own triggers, views,
// tables, indexes and settings never reach the ledger.

// Checks `source` without writing anything: a regular file that the engine reads as a sound
// database, with a table tblData of exactly the ledger's columns and a table tblReport. Returns
// what it holds; throws StoreError naming the reason when it is no ledger.
LedgerSummary checkRestoreSource(const QString& source);

// Makes a new ledger at `target` with the program's own tables and the entries of `source` (their
// ids and the id counter too), checks it (sound, with the source's entries and totals) and writes
// it to the disk. Throws StoreError; no `target` is left then.
void rebuildLedger(const QString& source, const QString& target);

// Puts a ledger that rebuildLedger made in place of the ledger at `ledger`, in one step: the ledger is
// the old or the new one, also when the process dies midway. Other processes that hold the ledger
// open see the new content. A ledger file that is no database at all is replaced by renaming.
void putRebuiltInPlace(const QString& ledger, const QString& rebuilt);

// Both steps: the rebuilt ledger is made beside the ledger, then put in its place. Throws StoreError;
// the ledger is then as it was.
void restoreLedger(const QString& ledger, const QString& source);

// Where restoreLedger builds its new ledger: beside the ledger, so the last step is a rename or a
// copy within one folder. A file left there by a process that died is removed by the next restore.
QString restoringFileOf(const QString& ledger);
