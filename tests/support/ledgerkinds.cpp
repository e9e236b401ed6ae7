#include "support/ledgerkinds.h"

#include "base/paths.h"
#include "store/programconnection.h"
#include "support/ledgerfixture.h"
#include "support/postgresserver.h"

using namespace Qt::StringLiterals;

PostgresServer& testServer()
{
    static PostgresServer server;
    return server;
}

QString newServerDatabase()
{
    static int made = 0;
    const QString database = u"ledger_"_s + QString::number(++made);
    testServer().createDatabase(database);
    return database;
}

QString openFreshLedger(LedgerKind kind)
{
    if (kind == LedgerKind::File) {
        openFreshLedger();
        return connectionString(SpecialFolderPath(35));
    }
    const QString connection = testServer().connectionString(PostgresServer::Role::Writer, newServerDatabase());
    ConnSlot() = std::make_unique<Connection>();
    Conn().open(connection);
    return connection;
}

std::string ledgerKindName(const testing::TestParamInfo<LedgerKind>& info)
{
    return info.param == LedgerKind::File ? "File" : "Server";
}
