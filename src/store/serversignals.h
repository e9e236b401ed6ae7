#pragma once

#include <libpq-fe.h>

// How programs sharing a server ledger learn that another one changed it: every statement that
// changes the entries, the repeating rules or their record of posted entries notifies the ledger's
// channel, with one payload per table so the server folds a transaction's notifications into one
// (an import of thousands of rows wakes each program once).

// Adds the notifying triggers to a ledger that lacks them, when this user may create them; one
// who may not still hears those that others made. Throws StoreError.
void addChangeSignals(PGconn* link);

// Listens on the ledger's channel, from now until the connection closes. Throws StoreError.
void listenForChanges(PGconn* link);

// Reads what the server has sent without waiting; true when a notification of another session
// arrived. This session's own are dropped: it knows what it wrote. False once the connection is
// lost, so a dead link is never mistaken for news.
bool othersNotified(PGconn* link);
