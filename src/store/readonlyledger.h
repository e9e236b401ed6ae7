#pragma once

#include <QString>

struct sqlite3;

// When the connection's last failure was a write refused because the ledger file or its folder may
// not be written (the engine says only "attempt to write a readonly database" or "unable to open
// database file"), the words a user understands; otherwise the empty text.
QString readOnlyLedgerMessage(sqlite3* db);
