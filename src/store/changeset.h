#pragma once

#include "store/storeerror.h"

#include <QByteArray>
#include <QList>
#include <memory>

class ChangeRecording;
class Connection;

// What statements on one connection did to the ledger table, recorded exactly (every column,
// its type and bytes, the id included) so that it can be reversed or made again.
class ChangeRecorder
{
public:
    // Starts recording on the connection; throws StoreError when the engine cannot.
    explicit ChangeRecorder(Connection& connection);
    ~ChangeRecorder();
    ChangeRecorder(const ChangeRecorder&) = delete;
    ChangeRecorder& operator=(const ChangeRecorder&) = delete;

    // The changes made since the recording started; empty when nothing changed.
    QByteArray changes();

private:
    std::unique_ptr<ChangeRecording> recording_;
};

// The changes that reverse `changes`.
QByteArray reversed(const QByteArray& changes);

// Applies recorded changes in one transaction. Where a row is no longer as the changes expect
// it (changed or removed elsewhere, or an id taken), nothing is applied and StaleChange is thrown.
void applyChanges(Connection& connection, const QByteArray& changes);

// The ids of the entries the changes touch.
QList<qint64> changedIds(const QByteArray& changes);
