#pragma once

#include "store/engine.h"

#include <QString>
#include <functional>
#include <memory>

// The ledger connection, over the engine its connection string names. Open never creates a file; every change is on
// disk when execute() returns; a ledger busy in another process is waited on for a few seconds.
class Connection
{
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    using Access = LedgerAccess;

    // Takes the file path from "data source=" up to the password part (or the next ';'); a text with
    // no data source, written as a postgresql:// URI or as libpq's key=value pairs, names a server
    // ledger instead (see openServerLedger). ReadOnly
    // never writes the file, not even the tables newer versions add: for commands that only read.
    void open(const QString& connectionString, Access access = Access::ReadWrite);
    // Runs exactly one statement of the ledger dialect; throws StoreError with the engine's message.
    void execute(const QString& statement);
    // 0 when closed, 1 when open.
    int state() const { return engine_ ? 1 : 0; }
    void close();

    // Groups many writes into one disk sync (the report's scratch rows).
    void beginBatch();
    void commitBatch();
    // Ends the batch keeping none of its writes.
    void rollbackBatch();

    // The engine, for the store's own helpers (compiled statements, change recording); throws when closed.
    LedgerEngine& engine() const;

private:
    std::unique_ptr<LedgerEngine> engine_;
};

// Runs `writes` as one batch: all of them stay or, when it throws, none; the exception goes on.
void inOneBatch(Connection& connection, const std::function<void()>& writes);

// "provider=microsoft.jet.oledb.4.0;data source=<folder>/Marrowfen/Quorvane/dbData.mdb;JET OLEDB:Database Password="
QString connectionString(const QString& appDataFolder);

// The connection string of the ledger file at `path`, in that form: the password part closes the
// path, so a ';' in it is kept.
QString fileConnectionString(const QString& path);

// The file path a connection string names.
QString dataSourcePath(const QString& connectionString);
