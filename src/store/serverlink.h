#pragma once

#include <QByteArray>
#include <QString>
#include <libpq-fe.h>
#include <memory>

// The libpq connection and results behind a server ledger, closed and freed with their owners.
struct ServerLinkClose
{
    void operator()(PGconn* link) const { PQfinish(link); }
};
struct ServerResultClear
{
    void operator()(PGresult* result) const { PQclear(result); }
};
using ServerLink = std::unique_ptr<PGconn, ServerLinkClose>;
using ServerResult = std::unique_ptr<PGresult, ServerResultClear>;

// Connects to the server a connection string (keywords or a postgresql:// URI) names. A string that
// carries a password is refused before anything is sent: passwords belong in ~/.pgpass or a service
// file, never in settings or messages. Throws StoreError.
ServerLink connectToServer(const QString& connectionString);

// The server's own words for a failed result, or the connection's when there is no result.
QString serverMessage(PGconn* link, const PGresult* result);

// A link carries one statement at a time. A query whose rows are still arriving holds it until they
// are all read; any other statement on the link first has that query take the rest into memory.
class ArrivingRows
{
public:
    virtual void takeTheRest() = 0;

protected:
    ~ArrivingRows() = default;
};
void holdLink(PGconn* link, ArrivingRows* rows);
void releaseLink(PGconn* link);
// Frees the link for the next statement.
void settleLink(PGconn* link);

// Runs commands without parameters (the session's and the schema's); throws StoreError.
void runCommands(PGconn* link, const char* sql);
