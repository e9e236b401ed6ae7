#pragma once

#include <QString>

// Several programs at once on one shared ledger: `clients` processes each give `commands` random
// commands (see ledgerclient.h); with `killOne`, one more client is killed with SIGKILL in the
// middle of its work. Then the ledger is checked against every report: each accepted add is there
// unless an accepted delete took it away, each deleted entry is gone, the accepted edits of each
// entry form one unbroken chain from its add (no two of them started from the same state: no edit
// was lost) ending where the ledger stands, and nothing is there that no command put there; only
// the killed client's one command in flight may be wholly there or wholly not. Every client that
// was not killed must have reported each of its commands. Prints the figures and the first fault;
// returns 0 when there is none.
int runSharedLedgerHarness(const QString& ledger, int clients, int commands, bool killOne);
