#pragma once

#include <QString>

struct sqlite3;

// Checks and facts about a ledger file, each read over a connection of its own, so they work on a
// file that the program's connection does not hold (a backup) or cannot use (a damaged ledger).

// What a ledger holds, in one pass: the entries and the Received / Paid totals.
struct LedgerSummary
{
    qint64 entries = 0;
    double received = 0;
    double paid = 0;
};

// The file's own words when it fails SQLite's full check (or cannot be read as a ledger at all),
// the empty text when it passes. `quick` runs the faster check that skips index contents.
QString ledgerDamage(const QString& path, bool quick = false);

// Throws StoreError when the file cannot be read as a ledger.
LedgerSummary summarizeLedger(const QString& path);
// The same over an open connection, inside whatever transaction it has.
LedgerSummary summarizeLedger(sqlite3* db);

// A short text that changes whenever the ledger file is written: the engine's change counter,
// the size and the modification time.
QString ledgerFingerprint(const QString& path);

// Writes the ledger that `from` holds into `to` with SQLite's online backup, as one consistent
// snapshot even while other connections write to `from`. `to` is created or replaced whole.
// Returns the number of entries the snapshot holds.
qint64 copyLedger(const QString& from, const QString& to);

// Flushes a file or folder to the disk; throws StoreError when it cannot.
void syncToDisk(const QString& path);
