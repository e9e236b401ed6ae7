#include "store/serverrefusal.h"

#include "store/serveraddress.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {

// SQLSTATEs: insufficient_privilege, read_only_sql_transaction.
constexpr char noRight[] = "42501";
constexpr char readOnlyTransaction[] = "25006";

QString fromUtf8(const char* text)
{
    return QString::fromUtf8(text ? text : "");
}

} // namespace

bool readsOnly(QByteArrayView sql)
{
    static const QRegularExpression select(u"^\\s*select\\b"_s, QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression lock(u"\\bfor\\s+(no\\s+key\\s+update|update|key\\s+share|share)\\b"_s,
                                         QRegularExpression::CaseInsensitiveOption);
    const QString text = QString::fromUtf8(sql);
    return select.match(text).hasMatch() && !lock.match(text).hasMatch();
}

QString writeRefusal(PGconn* link, const PGresult* result, QByteArrayView sql)
{
    const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    if (!state)
        return {};
    const bool refused = qstrcmp(state, readOnlyTransaction) == 0 || (qstrcmp(state, noRight) == 0 && !readsOnly(sql));
    if (!refused)
        return {};
    // The connection's own values: what the server took, defaults filled in, never a password.
    const ServerAddress address{
        fromUtf8(PQhost(link)), {}, fromUtf8(PQport(link)), fromUtf8(PQdb(link)), fromUtf8(PQuser(link)), {}, {}};
    return u"You may read this ledger on %1 but not change it."_s.arg(describeServer(address));
}
