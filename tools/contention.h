#pragma once

// Runs `writers` processes that each add `entries` entries to one fresh ledger at the same time.
// Every writer must end cleanly having reported all its saves, and the ledger must hold exactly
// writers * entries rows. Prints the figures; returns 0 on success.
int runContentionHarness(int writers, int entries);
