#include "store/ledgerwatcher.h"

#include "store/programconnection.h"
#include "store/storeerror.h"

LedgerWatcher::LedgerWatcher(QObject* parent) : QObject(parent)
{
    // Asking reads only what has arrived (a notification libpq already took in with another
    // statement's answer, which a wait on its socket would miss), so it costs next to nothing.
    connect(&timer_, &QTimer::timeout, this, &LedgerWatcher::ask);
    timer_.start(intervalMs);
}

void LedgerWatcher::ask()
{
    const std::unique_ptr<Connection>& connection = ConnSlot();
    if (!connection || connection->state() == 0)
        return;
    bool others = false;
    try {
        others = connection->engine().othersChanged();
    } catch (const StoreError&) {
        // A ledger busy in a restore, or out of reach for a moment: asked again at the next tick.
        return;
    }
    if (others)
        Q_EMIT changed();
}
