#include "cli/cliledger.h"

#include "base/paths.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace {

std::unique_ptr<Connection> openFile(const QString& path, Connection::Access access)
{
    auto connection = std::make_unique<Connection>();
    connection->open(u"data source="_s + path, access);
    return connection;
}

} // namespace

std::unique_ptr<Connection> openLedgerToRead()
{
    const QString ledger = databaseFile();
    return openFile(FileExists(ledger) ? ledger : templateDatabase(), Connection::Access::ReadOnly);
}

std::unique_ptr<Connection> openLedgerToWrite()
{
    for (const QString& folder : {vendorFolder(), dataFolder()})
        if (!pathExists(folder))
            makeFolder(folder);
    if (!FileExists(databaseFile()))
        copyLedgerTemplate(templateDatabase(), databaseFile());
    return openFile(databaseFile(), Connection::Access::ReadWrite);
}
