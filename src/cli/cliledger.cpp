#include "cli/cliledger.h"

#include "base/paths.h"
#include "store/ledgerlocation.h"

#include <QFile>

namespace {

std::unique_ptr<Connection> openText(const QString& connectionText, Connection::Access access)
{
    auto connection = std::make_unique<Connection>();
    connection->open(connectionText, access);
    return connection;
}

std::unique_ptr<Connection> openFile(const QString& path, Connection::Access access)
{
    return openText(fileConnectionString(path), access);
}

} // namespace

std::unique_ptr<Connection> openLedgerToRead()
{
    const LedgerLocation location = LedgerLocation::chosen();
    if (location.onServer())
        return openText(location.connectionText(), Connection::Access::ReadOnly);
    const QString ledger = databaseFile();
    return openFile(FileExists(ledger) ? ledger : templateDatabase(), Connection::Access::ReadOnly);
}

std::unique_ptr<Connection> openLedgerToWrite()
{
    const LedgerLocation location = LedgerLocation::chosen();
    if (location.onServer())
        return openText(location.connectionText(), Connection::Access::ReadWrite);
    for (const QString& folder : {vendorFolder(), dataFolder()})
        if (!pathExists(folder))
            makeFolder(folder);
    if (!FileExists(databaseFile()))
        copyLedgerTemplate(templateDatabase(), databaseFile());
    return openFile(databaseFile(), Connection::Access::ReadWrite);
}
