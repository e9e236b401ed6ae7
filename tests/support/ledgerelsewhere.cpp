#include "support/ledgerelsewhere.h"

#include "store/connection.h"
#include "store/engine.h"

#include <array>
#include <charconv>

namespace {

QString valueText(const EngineStatement& rows, int column)
{
    switch (rows.kind(column)) {
    case ColumnKind::Null:
        return QStringLiteral("null");
    case ColumnKind::Integer:
        return QStringLiteral("int:") + QString::number(rows.intValue(column));
    case ColumnKind::Real: {
        // The shortest text that reads back as the same double, a negative zero's sign kept.
        std::array<char, 32> digits{};
        const char* end = std::to_chars(digits.begin(), digits.end(), rows.doubleValue(column)).ptr;
        return QStringLiteral("real:") + QString::fromLatin1(digits.data(), end - digits.data());
    }
    default:
        return QStringLiteral("text:") + QString::fromUtf8(rows.utf8(column));
    }
}

} // namespace

LedgerSnapshot snapshotElsewhere(const QString& ledger, const QByteArray& select)
{
    // A ledger file is read by SQLite itself, which shows how each value is stored.
    if (ledger.contains(u"data source=", Qt::CaseInsensitive))
        return snapshotRows(dataSourcePath(ledger), select);
    Connection other;
    other.open(ledger);
    const std::unique_ptr<EngineStatement> rows = other.engine().prepare(select);
    LedgerSnapshot snapshot;
    while (rows->next()) {
        QStringList row;
        for (int c = 0; c < rows->columnCount(); ++c)
            row.append(valueText(*rows, c));
        snapshot.append(row.join(u" | "));
    }
    return snapshot;
}

void runElsewhereOn(const QString& ledger, const QString& statement)
{
    Connection other;
    other.open(ledger);
    other.execute(statement);
}
