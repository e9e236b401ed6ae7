#include "store/changeset.h"

#include "store/connection.h"
#include "store/engine.h"
#include "store/sqlitechanges.h"

// Every recording is SQLite's today, so its changes are read as such.

ChangeRecorder::ChangeRecorder(Connection& connection) : recording_(connection.engine().record()) {}

ChangeRecorder::~ChangeRecorder() = default;

QByteArray ChangeRecorder::changes()
{
    return recording_->changes();
}

QByteArray reversed(const QByteArray& changes)
{
    return invertedSqliteChanges(changes);
}

void applyChanges(Connection& connection, const QByteArray& changes)
{
    connection.engine().apply(changes);
}

QList<qint64> changedIds(const QByteArray& changes)
{
    return sqliteChangedIds(changes);
}
