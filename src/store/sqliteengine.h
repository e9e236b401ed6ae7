#pragma once

#include "store/engine.h"

#include <QString>
#include <memory>

// Opens the ledger file at `path` (which must exist) as the engine under a connection: a file busy
// in another process is waited on, every change is on disk when a statement returns, and a
// ledger opened to write gains the tables newer versions add. Throws StoreError.
std::unique_ptr<LedgerEngine> openSqliteLedger(const QString& path, LedgerAccess access);
