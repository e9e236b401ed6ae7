#pragma once

#include <QString>

// What a server connection string says about the ledger it names: where, which database, as whom.
// Never its password.
struct ServerAddress
{
    QString host, hostaddr, port, dbname, user, service, options;
};

// A text naming no data source but written as libpq's URI or keywords names a server ledger.
bool namesServerLedger(const QString& connectionString);

// Reads a connection string (libpq's keywords or a postgresql:// URI) as libpq does, filling only
// what it names. A string that carries a password is refused: passwords belong in ~/.pgpass or a
// service file, never in settings or messages. Throws StoreError, never quoting a password.
ServerAddress serverAddress(const QString& connectionString);

// For messages: "database office at db.example.com:5432 as anna".
QString describeServer(const ServerAddress& address);
