#include "store/engine.h"

#include "store/storeerror.h"

qint64 EngineStatement::run()
{
    while (next()) {
    }
    const qint64 changed = changes();
    reset();
    return changed;
}

qint64 EngineStatement::runForId()
{
    if (!next()) {
        reset();
        throw StoreError(QStringLiteral("The insert returned no id."));
    }
    const qint64 id = intValue(0);
    // Run to the end, so the insert is complete however the engine hands out its rows.
    run();
    return id;
}
