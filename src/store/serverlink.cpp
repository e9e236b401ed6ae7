#include "store/serverlink.h"

#include "store/serveraddress.h"
#include "store/storeerror.h"

using namespace Qt::StringLiterals;

ServerLink connectToServer(const QString& connectionString)
{
    // Read first, so a password is refused before anything is sent.
    serverAddress(connectionString);
    ServerLink link(PQconnectdb(connectionString.toUtf8().constData()));
    if (!link)
        throw StoreError(u"out of memory"_s);
    if (PQstatus(link.get()) != CONNECTION_OK) {
        if (PQconnectionNeedsPassword(link.get()))
            throw StoreError(u"The server asks for a password: put it in ~/.pgpass or a service file."_s);
        throw StoreError(serverMessage(link.get(), nullptr));
    }
    return link;
}

QString serverMessage(PGconn* link, const PGresult* result)
{
    if (result) {
        if (const char* primary = PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY))
            return QString::fromUtf8(primary);
    }
    return QString::fromUtf8(PQerrorMessage(link)).trimmed();
}

void runCommands(PGconn* link, const char* sql)
{
    const ServerResult result(PQexec(link, sql));
    const ExecStatusType status = PQresultStatus(result.get());
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        throw StoreError(serverMessage(link, result.get()));
}
