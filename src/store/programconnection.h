#pragma once

#include "store/connection.h"
#include "store/ledgerentries.h"

#include <memory>

// The program-wide connection: created and opened at start-up, closed and released at shutdown.
std::unique_ptr<Connection>& ConnSlot();

// The connection in use; throws StoreError when none was created.
Connection& Conn();

// The entries of whatever connection the program has open at the time of each operation.
LedgerEntries programLedger();
