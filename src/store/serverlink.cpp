#include "store/serverlink.h"

#include "store/storeerror.h"

#include <QHash>
#include <QRegularExpression>
#include <mutex>

using namespace Qt::StringLiterals;

namespace {

QString passwordMessage()
{
    return u"A connection string may not hold a password: put it in ~/.pgpass or a service file."_s;
}

// A text libpq cannot read is not quoted back when it may hold a password.
bool mayHoldPassword(const QString& connectionString)
{
    static const QRegularExpression uriPassword(u"://[^/@]*:[^/@]*@"_s);
    return connectionString.contains(u"password"_s, Qt::CaseInsensitive) ||
           uriPassword.match(connectionString).hasMatch();
}

void refusePassword(const QString& connectionString)
{
    char* error = nullptr;
    PQconninfoOption* options = PQconninfoParse(connectionString.toUtf8().constData(), &error);
    if (!options) {
        const QString reason = error ? QString::fromUtf8(error).trimmed() : u"out of memory"_s;
        PQfreemem(error);
        throw StoreError(mayHoldPassword(connectionString) ? passwordMessage()
                                                           : u"The connection string cannot be read: "_s + reason);
    }
    bool password = false;
    for (const PQconninfoOption* option = options; option->keyword; ++option)
        password = password || (qstrcmp(option->keyword, "password") == 0 && option->val && *option->val);
    PQconninfoFree(options);
    if (password)
        throw StoreError(passwordMessage());
}

} // namespace

ServerLink connectToServer(const QString& connectionString)
{
    refusePassword(connectionString);
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

namespace {

// Links may be used from a worker thread, each by one thread at a time.
std::mutex heldLinksMutex;
QHash<PGconn*, ArrivingRows*> heldLinks;

} // namespace

void holdLink(PGconn* link, ArrivingRows* rows)
{
    const std::lock_guard lock(heldLinksMutex);
    heldLinks.insert(link, rows);
}

void releaseLink(PGconn* link)
{
    const std::lock_guard lock(heldLinksMutex);
    heldLinks.remove(link);
}

void settleLink(PGconn* link)
{
    ArrivingRows* rows = nullptr;
    {
        const std::lock_guard lock(heldLinksMutex);
        rows = heldLinks.take(link);
    }
    if (rows)
        rows->takeTheRest();
}

void runCommands(PGconn* link, const char* sql)
{
    settleLink(link);
    const ServerResult result(PQexec(link, sql));
    const ExecStatusType status = PQresultStatus(result.get());
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        throw StoreError(serverMessage(link, result.get()));
}
