#pragma once

#include "store/statements.h"

#include <QString>
#include <QStringList>

// A folder of this name in the test's own HOME, made when missing; returns its path.
QString homeFolder(const QString& name);

// The template ledger that the build puts beside the test programs.
QString templateLedgerPath();

// Copies the template to the data folder of the current test HOME and opens Conn on it.
// Returns the ledger's path.
QString openFreshLedger();

// Adds one entry through the store (S3) and returns nothing; `amount` is typed text.
void addEntry(const Entry& entry);

// A quick entry: date 2021-03-05, texts from `reason`, amount text, direction.
Entry sampleEntry(const QString& reason, const QString& amount, Direction direction = Direction::Received);

// The id of the newest ledger row, as the main window's list would hand it over.
QString newestId();

// How many entries the ledger holds.
int entryCount();

// The ledger's entries as "date|amount|in or out|reason|from|to|method|notes" (as the sample statements
// write them), in id order.
QStringList ledgerRows();

// Appends a NUL character and more text to the text `column` of entry `id`, as an older import
// could store it: the store refuses such texts only where it writes them.
void storeNulInText(const QString& id, const QString& column);

// Stores `value` as the direction of entry `id`: 0 or 3, say, which no window writes.
void storePaymentType(const QString& id, int value);

// Spoils a scattering of entries as only hand-edited or very old ledgers hold them: no date, a
// date that is none ('soon', 2022-02-30), no amount, no direction (0 and 3).
void spoilSomeEntries();

// The file's permission bits as the system keeps them (0700, 0600 ...).
unsigned fileMode(const QString& path);
