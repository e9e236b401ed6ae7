#include "store/serveraddress.h"

#include "store/storeerror.h"

#include <QRegularExpression>
#include <libpq-fe.h>

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

} // namespace

bool namesServerLedger(const QString& connectionString)
{
    if (connectionString.contains(u"data source="_s, Qt::CaseInsensitive))
        return false;
    const QString text = connectionString.trimmed();
    return text.startsWith(u"postgresql://"_s, Qt::CaseInsensitive) ||
           text.startsWith(u"postgres://"_s, Qt::CaseInsensitive) || text.contains(u'=');
}

ServerAddress serverAddress(const QString& connectionString)
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
    ServerAddress address;
    const std::pair<const char*, QString*> parts[] = {{"host", &address.host},      {"hostaddr", &address.hostaddr},
                                                      {"port", &address.port},      {"dbname", &address.dbname},
                                                      {"user", &address.user},      {"service", &address.service},
                                                      {"options", &address.options}};
    for (const PQconninfoOption* option = options; option->keyword; ++option) {
        if (!option->val || !*option->val)
            continue;
        password = password || qstrcmp(option->keyword, "password") == 0;
        for (const auto& [keyword, part] : parts)
            if (qstrcmp(option->keyword, keyword) == 0)
                *part = QString::fromUtf8(option->val);
    }
    PQconninfoFree(options);
    if (password)
        throw StoreError(passwordMessage());
    return address;
}

QString describeServer(const ServerAddress& address)
{
    QString text = !address.dbname.isEmpty()    ? u"database "_s + address.dbname
                   : !address.service.isEmpty() ? u"service "_s + address.service
                                                : u"the default database"_s;
    const QString host = address.host.isEmpty() ? address.hostaddr : address.host;
    if (!host.isEmpty())
        text += u" at "_s + host + (address.port.isEmpty() ? QString() : u':' + address.port);
    else if (!address.port.isEmpty())
        text += u" at port "_s + address.port;
    if (!address.user.isEmpty())
        text += u" as "_s + address.user;
    return text;
}
