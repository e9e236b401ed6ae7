#pragma once

#include <QByteArray>
#include <QList>

// The changes a server ledger recorded, as the undo history keeps them: one change per row, the row
// before and after it each as the server's JSON of the whole row, so every column comes back exact.
// An insert has no row before, a delete none after.

enum class RecordedTable : quint8 { Entries, RepeatPosted };

struct RowChange
{
    RecordedTable table;
    QByteArray before;
    QByteArray after;
};

// A server's changes start with this byte, which starts none of SQLite's changesets ('T') or
// patchsets ('P'), so both engines' changes can be told apart.
bool isServerChanges(const QByteArray& changes);

// No rows make no changes: the empty text, as on a ledger file.
QByteArray serverChanges(const QList<RowChange>& rows);
// Throws StoreError when `changes` are not a server's.
QList<RowChange> rowChanges(const QByteArray& changes);

QByteArray invertedServerChanges(const QByteArray& changes);
// The ids of the entries the changes touch.
QList<qint64> serverChangedIds(const QByteArray& changes);
