#pragma once

#include <QString>

// Kills a process that restores one backup after another over the ledger with SIGKILL at a random
// moment `runs` times; after every kill the ledger must pass its integrity check and hold exactly
// one of the two backups, never a mix. Prints the figures; returns 0 when it always did.
int runRestoreKillHarness(int runs, unsigned seed);

// The child: restores `first` and `second` over `ledger` in turn until it is killed.
int runRestoreLoop(const QString& ledger, const QString& first, const QString& second);
