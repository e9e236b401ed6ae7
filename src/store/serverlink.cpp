#include "store/serverlink.h"

#include "store/serveraddress.h"
#include "store/storeerror.h"

#include <QHash>
#include <QRegularExpression>
#include <mutex>

using namespace Qt::StringLiterals;

ServerLink connectToServer(const QString& connectionString)
{
    // Read first, so a password is refused before anything is sent.
    serverAddress(connectionString);
    ServerLink link(PQconnectdb(connectionString.toUtf8().constData()));
    if (!link)
        throw StoreError(u"out of memory"_s);
    // The server's notices (a table another program made first) are no news to the user; libpq
    // would print them on standard error.
    PQsetNoticeProcessor(
        link.get(), [](void*, const char*) {}, nullptr);
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
    // libpq indents the lines after the first with a tab, for a terminal; a message box shows them as they are.
    static const QRegularExpression indent(u"\n[ \t]+"_s);
    return QString::fromUtf8(PQerrorMessage(link)).trimmed().replace(indent, u"\n"_s);
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
