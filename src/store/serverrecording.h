#pragma once

#include "store/engine.h"

#include <libpq-fe.h>

// Undo on a server ledger. A row trigger on the entries and on the record of posted repeating
// entries copies each row before and after a change into a table of the session's own, but only in
// a session that is recording: other programs' writes pass it by.

// Adds the trigger to a ledger that lacks it, when the user may, and readies this session to
// record. False when it cannot: this session then has no undo. Throws StoreError.
bool prepareChangeRecording(PGconn* link);

// Records this session's changes from now until it is destroyed, one recording at a time.
class ServerRecording final : public ChangeRecording
{
public:
    explicit ServerRecording(PGconn* link);
    ~ServerRecording() override;
    ServerRecording(const ServerRecording&) = delete;
    ServerRecording& operator=(const ServerRecording&) = delete;

    // Each row's change once, from how it stood before the first change to how it stands now.
    QByteArray changes() override;

private:
    PGconn* link_;
};

// Applies a server's recorded changes within the caller's transaction; a recording under way records
// them, as on a ledger file. Throws StaleChange when a row is no longer as they expect it, StoreError
// on other failures.
void applyServerChanges(PGconn* link, const QByteArray& changes);
