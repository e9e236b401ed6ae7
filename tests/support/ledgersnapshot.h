#pragma once

#include <QString>
#include <QStringList>

// Every row of a ledger file's tblData in id order, one text a row holding each column's stored type
// and exact value (reals to 17 digits, which read back as the same double), read over a connection
// of its own.
using LedgerSnapshot = QStringList;
LedgerSnapshot snapshotLedger(const QString& path);
// The same for the rows of any query.
LedgerSnapshot snapshotRows(const QString& path, const QByteArray& select);

// Runs one statement on the ledger file over a connection of its own, as another process would.
void runElsewhere(const QString& path, const QString& statement);
