// A server ledger reached over TLS: the connection string's sslmode=verify-full reaches libpq as
// written, so the server's certificate and name are checked, and a ledger opened that way is encrypted.
#include "store/connection.h"
#include "store/engine.h"
#include "store/storeerror.h"
#include "support/postgresserver.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(ServerTls, VerifyFullOpensTheLedgerOnlyWithTheRightAuthorityAndName)
{
    PostgresServer server(PostgresServer::Listen::TlsOnLoopback);

    const auto location = [&](const QString& host, const QString& authority) {
        return u"host=%1 port=%2 dbname=ledger user=quorvane_writer sslmode=verify-full sslrootcert='%3'"_s.arg(host)
            .arg(server.tlsPort())
            .arg(authority);
    };
    const struct
    {
        QString location;
        const char* refusal; // empty when the ledger opens
    } cases[] = {
        {location(u"localhost"_s, server.certificateAuthority()), ""},
        {location(u"127.0.0.1"_s, server.certificateAuthority()), "does not match host name"},
        {location(u"localhost"_s, u"/no/such/authority.crt"_s), "root certificate file"},
        {u"host=localhost port=%1 dbname=ledger user=quorvane_writer sslmode=disable"_s.arg(server.tlsPort()),
         "no encryption"},
    };
    for (const auto& [text, refusal] : cases) {
        Connection ledger;
        try {
            ledger.open(text);
            EXPECT_STREQ(refusal, "") << text.toStdString();
            const auto encrypted = ledger.engine().prepare("select ssl from pg_stat_ssl where pid = pg_backend_pid()");
            ASSERT_TRUE(encrypted->next());
            EXPECT_EQ(encrypted->utf8(0), QByteArrayView("t"));
        } catch (const StoreError& error) {
            EXPECT_NE(std::string(refusal), "") << text.toStdString() << ": " << error.what();
            EXPECT_NE(std::string(error.what()).find(refusal), std::string::npos) << error.what();
        }
    }
}
