#pragma once

struct sqlite3;

// Registers the ledger dialect's CDate and CDbl on a connection.
void registerDialectFunctions(sqlite3* db);
