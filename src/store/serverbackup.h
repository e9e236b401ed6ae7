#pragma once

#include "store/backups.h"

#include <memory>

// The ledger on the server `connectionString` names, as backups see it: each backup is a ledger file
// of today's format written from one moment of it, so the Backups window and a restore read it as
// any other; a restore replaces the server's contents in one transaction, so other programs see the
// old ledger or the new one. Every operation opens a connection of its own (backups run on a worker
// thread). A restore makes its clean file in `folder`.
std::shared_ptr<const BackedUpLedger> serverLedgerToBackUp(QString connectionString, QString folder);
