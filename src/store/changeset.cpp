#include "store/changeset.h"

#include "store/connection.h"
#include "store/engine.h"
#include "store/serverchanges.h"
#include "store/sqlitechanges.h"

// Each engine reads its own changes; the first byte tells whose they are.

ChangeRecorder::ChangeRecorder(Connection& connection) : recording_(connection.engine().record()) {}

ChangeRecorder::~ChangeRecorder() = default;

QByteArray ChangeRecorder::changes()
{
    return recording_->changes();
}

QByteArray reversed(const QByteArray& changes)
{
    return isServerChanges(changes) ? invertedServerChanges(changes) : invertedSqliteChanges(changes);
}

void applyChanges(Connection& connection, const QByteArray& changes)
{
    connection.engine().apply(changes);
}

QList<qint64> changedIds(const QByteArray& changes)
{
    return isServerChanges(changes) ? serverChangedIds(changes) : sqliteChangedIds(changes);
}
