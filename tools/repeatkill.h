#pragma once

#include <QString>

// Kills a process posting a daily repeating entry's occurrences with SIGKILL at a random moment
// `runs` times, one ledger throughout; after every kill each recorded occurrence must have its
// entry, each entry its record, and no occurrence may be in the ledger twice. Prints the figures;
// returns 0 when all held.
int runRepeatKillHarness(int runs, unsigned seed);

// Starts two processes posting the same daily rule's occurrences at the same moment, `rounds`
// times, each round on a new ledger: between them every occurrence must be posted exactly once.
int runRepeatTwinHarness(int rounds);

// The child: opens the ledger under `dataRoot`, prints "ready", then posts every due occurrence in
// small transactions, printing "posted N" after each. Returns 0, or 2 on a store failure.
int runRepeatPoster(const QString& dataRoot);
