#pragma once

#include "store/connection.h"

#include <memory>

// The user's ledger, at the chosen location (the file or a server), as the commands for scripts
// open it: beside a window that may have it open too, so every change is one transaction and a busy
// ledger is waited on (the store does both).

// For commands that only read. Before the first start there is no ledger file yet: the empty
// template is read in its place, so nothing is created. Throws StoreError when the ledger cannot be read.
std::unique_ptr<Connection> openLedgerToRead();

// For commands that write. Before the first start the ledger file is made from the template, as
// the window's first start makes it. Throws (StoreError, Failure) when it cannot be made or opened.
std::unique_ptr<Connection> openLedgerToWrite();
