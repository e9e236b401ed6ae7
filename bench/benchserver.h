#pragma once

#include <QString>

class Form1;

// The benchmarks' own PostgreSQL server, started at the first call and stopped when the benchmark
// program ends. Each size gets a database of its own holding the same entries as the generated
// ledger file of that size, so the two engines are timed on the same rows.
// Returns the writer's connection string for it.
QString serverLedger(int count);

// The window as started on the file, then turned to the server's ledger of `count` entries.
void openServerLedgerIn(Form1& window, int count);
