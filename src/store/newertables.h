#pragma once

#include <QByteArray>
#include <vector>

struct sqlite3;

// The ledger's tables that versions after the first added (the schema's last part), by name.
const std::vector<QByteArray>& newerTables();

// Adds the newer tables a ledger lacks, in one transaction; a ledger that has them all, or a
// database without the ledger's tblData, is not written to at all. Throws StoreError.
void addNewerTables(sqlite3* db);
