#pragma once

#include <QString>

// The name under which the window on this user's ledger takes files from later starts of the
// program. It follows the ledger's key (its file's path, or its server's address) and the user, so
// a program on another ledger, or of another user, is never reached.
QString instanceName(const QString& ledgerKey);
