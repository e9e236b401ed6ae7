#pragma once

#include "store/engine.h"

#include <QString>
#include <memory>

// Connects to the server ledger a connection string names (libpq's keywords or a postgresql:// URI,
// never with a password) as the engine under a connection: texts in UTF-8, dates as ISO texts, the
// ledger's tables made on first use, and the report's own staging table. ReadOnly writes nothing.
// Throws StoreError.
std::unique_ptr<LedgerEngine> openServerLedger(const QString& connectionString, LedgerAccess access);
