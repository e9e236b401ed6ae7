#pragma once

#include "support/ledgersnapshot.h"

#include <QByteArray>
#include <QString>

// Another program on the ledger a connection string names, of either engine, over a connection of
// its own.

// Every row the query brings, each column's kind and exact value.
LedgerSnapshot snapshotElsewhere(const QString& ledger, const QByteArray& select = "SELECT * FROM tblData ORDER BY id");

// Runs one statement of the ledger's dialect.
void runElsewhereOn(const QString& ledger, const QString& statement);
