#pragma once

#include <QString>
#include <gtest/gtest.h>
#include <string>

class PostgresServer;

// Where a test's ledger lies: the template file in the test's data folder, or a database of its own
// on the test program's server.
enum class LedgerKind { File, Server };

// The test program's one server, started at its first use and stopped when the program ends.
PostgresServer& testServer();

// Makes a new empty database on testServer(), as the writer's; returns its name.
QString newServerDatabase();

// Opens Conn on a fresh, empty ledger of `kind`; returns the connection string that names it.
QString openFreshLedger(LedgerKind kind);

// "File" or "Server", for the names of parameterized tests.
std::string ledgerKindName(const testing::TestParamInfo<LedgerKind>& info);
