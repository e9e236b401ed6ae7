#include "store/programconnection.h"

#include "store/storeerror.h"

std::unique_ptr<Connection>& ConnSlot()
{
    static std::unique_ptr<Connection> connection;
    return connection;
}

Connection& Conn()
{
    if (!ConnSlot())
        throw StoreError(QStringLiteral("The ledger connection was never created."));
    return *ConnSlot();
}

LedgerEntries programLedger()
{
    return LedgerEntries(Conn);
}
