#include "support/ledgersnapshot.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

QString columnText(sqlite3_stmt* stmt, int column)
{
    switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_NULL:
        return QStringLiteral("null");
    case SQLITE_INTEGER:
        return QStringLiteral("int:") + QString::number(sqlite3_column_int64(stmt, column));
    case SQLITE_FLOAT:
        return QStringLiteral("real:") + QString::number(sqlite3_column_double(stmt, column), 'g', 17);
    default:
        return QStringLiteral("text:") +
               QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, column)),
                                 sqlite3_column_bytes(stmt, column));
    }
}

sqlite3* openLedger(const QString& path)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        ADD_FAILURE() << "cannot open " << path.toStdString();
    sqlite3_busy_timeout(db, 5000);
    return db;
}

} // namespace

LedgerSnapshot snapshotLedger(const QString& path)
{
    return snapshotRows(path, "SELECT * FROM tblData ORDER BY id");
}

LedgerSnapshot snapshotRows(const QString& path, const QByteArray& select)
{
    LedgerSnapshot rows;
    sqlite3* db = openLedger(path);
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, select.constData(), -1, &stmt, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << sqlite3_errmsg(db);
    } else {
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            QStringList row;
            for (int c = 0; c < sqlite3_column_count(stmt); ++c)
                row.append(columnText(stmt, c));
            rows.append(row.join(u" | "));
        }
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return rows;
}

void runElsewhere(const QString& path, const QString& statement)
{
    sqlite3* db = openLedger(path);
    char* error = nullptr;
    if (sqlite3_exec(db, statement.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK)
        ADD_FAILURE() << (error ? error : "statement failed") << ": " << statement.toStdString();
    sqlite3_free(error);
    sqlite3_close(db);
}
