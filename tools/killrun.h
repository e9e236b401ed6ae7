#pragma once

// Kills a saving writer with SIGKILL at a random moment `runs` times, one ledger throughout; after
// every kill the ledger must pass its integrity check and hold every entry the writer reported as
// saved. Prints the figures; returns 0 when nothing was lost.
int runKillHarness(int runs, unsigned seed);
