#pragma once

#include <QString>

// Copies the template ledger to `path` (replacing it) and fills it with `count` realistic entries:
// both directions, a few hundred payers and reasons, notes of varied length, apostrophes and
// non-ASCII text. The same seed gives the same ledger.
void generateLedger(const QString& path, int count, unsigned seed = 1);

// The template ledger beside the benchmark program.
QString benchTemplateLedger();

// Peak resident memory of this process so far, in MiB.
double peakMemoryMiB();
