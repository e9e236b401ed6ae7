#include "store/sqlitestatement.h"

#include "store/sqliteprepare.h"

#include <sqlite3.h>

SqliteStatement::SqliteStatement(sqlite3_stmt* stmt) : stmt_(stmt)
{
    const int count = sqlite3_column_count(stmt_);
    dateColumns_.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
        const char* declared = sqlite3_column_decltype(stmt_, i);
        dateColumns_.push_back(declared && sqlite3_stricmp(declared, "DATE") == 0);
    }
}

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(stmt_);
}

void SqliteStatement::bindInt(int index, qint64 value)
{
    sqlite3_bind_int64(stmt_, index, value);
}

void SqliteStatement::bindDouble(int index, double value)
{
    sqlite3_bind_double(stmt_, index, value);
}

void SqliteStatement::bindText(int index, QStringView value)
{
    ::bindText(stmt_, index, value);
}

void SqliteStatement::bindDate(int index, QDate value)
{
    ::bindText(stmt_, index, value.toString(Qt::ISODate));
}

bool SqliteStatement::next()
{
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE)
        failAndReset(stmt_, engineMessage(sqlite3_db_handle(stmt_)));
    // The engine keeps the count of the connection's last write, which a query leaves as it was.
    changes_ = sqlite3_stmt_readonly(stmt_) ? 0 : sqlite3_changes64(sqlite3_db_handle(stmt_));
    return false;
}

void SqliteStatement::reset()
{
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

QString SqliteStatement::columnName(int column) const
{
    return QString::fromUtf8(sqlite3_column_name(stmt_, column));
}

ColumnKind SqliteStatement::kind(int column) const
{
    switch (sqlite3_column_type(stmt_, column)) {
    case SQLITE_NULL:
        return ColumnKind::Null;
    case SQLITE_INTEGER:
        return ColumnKind::Integer;
    case SQLITE_FLOAT:
        return ColumnKind::Real;
    default:
        return ColumnKind::Text;
    }
}

qint64 SqliteStatement::intValue(int column) const
{
    return sqlite3_column_int64(stmt_, column);
}

double SqliteStatement::doubleValue(int column) const
{
    return sqlite3_column_double(stmt_, column);
}

QByteArrayView SqliteStatement::utf8(int column) const
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    return QByteArrayView(text, sqlite3_column_bytes(stmt_, column));
}
