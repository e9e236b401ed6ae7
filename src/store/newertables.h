#pragma once

#include <QByteArray>
#include <vector>

// The ledger's tables that versions after the first added (the schema's last part), by name.
const std::vector<QByteArray>& newerTables();

// The schema's statements that make them, each only when it is missing.
const char* newerTablesSql();
