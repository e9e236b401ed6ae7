#pragma once

#include <QString>

// How the engine refused to write the ledger, in its own terms.
enum class WriteRefusal {
    ReadOnly,       // the ledger may not be written
    ReadOnlyFolder, // the journal beside it may not be made
    CannotOpen,     // a file it needs could not be opened
    WriteFailed,    // the disk refused the write
};

// The words a user understands for a refused write to the ledger file `ledger`, naming the disk,
// the folder or the file that may not be written; the empty text when none of them is the cause.
QString readOnlyLedgerMessage(const QString& ledger, WriteRefusal refusal);
