#pragma once

#include <QString>

// One of several programs sharing a ledger (the child `share` starts): `count` random commands as a
// person would give them — adds, edits of an entry as it was just read, deletes — each reported on
// standard output once it ended, accepted or refused:
//   add ID REASON | edit ID OLD NEW | delete ID | refused edit ID | refused delete ID
// Every reason is unique ("NAME-n"), so the reports tell which state of an entry each edit started
// from. Returns 0, or 2 on a failure that is no refusal (reported on stderr).
int runLedgerClient(const QString& ledger, const QString& name, unsigned seed, int count);
