#include "store/serverchanges.h"

#include "store/storeerror.h"

#include <QDataStream>
#include <QIODevice>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

namespace {

constexpr char serverTag = 'S';
// Fixed, so changes kept by one build read the same in the next.
constexpr QDataStream::Version streamVersion = QDataStream::Qt_6_0;

QString unreadable()
{
    return QStringLiteral("The recorded changes cannot be read.");
}

} // namespace

bool isServerChanges(const QByteArray& changes)
{
    return changes.startsWith(serverTag);
}

QByteArray serverChanges(const QList<RowChange>& rows)
{
    if (rows.isEmpty())
        return {};
    QByteArray changes(1, serverTag);
    QDataStream out(&changes, QIODevice::Append);
    out.setVersion(streamVersion);
    out << qint64(rows.size());
    for (const RowChange& row : rows)
        out << quint8(row.table) << row.before << row.after;
    return changes;
}

QList<RowChange> rowChanges(const QByteArray& changes)
{
    if (!isServerChanges(changes))
        throw StoreError(unreadable());
    QDataStream in(changes.sliced(1));
    in.setVersion(streamVersion);
    qint64 count = 0;
    in >> count;
    QList<RowChange> rows;
    for (qint64 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        quint8 table = 0;
        RowChange row{};
        in >> table >> row.before >> row.after;
        if (table > quint8(RecordedTable::RepeatPosted) || (row.before.isNull() && row.after.isNull()))
            throw StoreError(unreadable());
        row.table = RecordedTable(table);
        rows.append(row);
    }
    if (in.status() != QDataStream::Ok || !in.atEnd())
        throw StoreError(unreadable());
    return rows;
}

QByteArray invertedServerChanges(const QByteArray& changes)
{
    QList<RowChange> rows = rowChanges(changes);
    std::reverse(rows.begin(), rows.end());
    for (RowChange& row : rows)
        std::swap(row.before, row.after);
    return serverChanges(rows);
}

QList<qint64> serverChangedIds(const QByteArray& changes)
{
    QList<qint64> ids;
    for (const RowChange& row : rowChanges(changes)) {
        if (row.table != RecordedTable::Entries)
            continue;
        // The id stands in the row after an insert, in the row before an update or a delete.
        const QByteArray& json = row.before.isNull() ? row.after : row.before;
        ids.append(QJsonDocument::fromJson(json).object().value(u"id").toInteger());
    }
    return ids;
}
