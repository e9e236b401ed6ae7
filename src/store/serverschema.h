#pragma once

#include "store/engine.h"

#include <libpq-fe.h>

// Makes the ledger's tables on a server that lacks them, in one transaction, so two programs
// starting on an empty database at once make them once. A ledger opened to read, or by a user who
// may not make them, is refused as not set up yet. Throws StoreError.
void makeServerSchema(PGconn* link, LedgerAccess access);

// Runs `sql` in one transaction under the lock every program changing the ledger's schema takes.
void runUnderSchemaLock(PGconn* link, const char* sql);

// The report's staging table: private to this session and gone with it, so programs sharing the
// ledger never see each other's report rows.
void makeStagingTable(PGconn* link);
