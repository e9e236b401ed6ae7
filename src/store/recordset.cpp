#include "store/recordset.h"

#include "store/connection.h"
#include "store/prepare.h"
#include "store/storeddate.h"
#include "store/storeerror.h"

#include <sqlite3.h>

using namespace Qt::StringLiterals;

Recordset::~Recordset()
{
    close();
}

void Recordset::open(const QString& statement, Connection& connection, int, int)
{
    if (stmt_)
        throw StoreError(QStringLiteral("Operation is not allowed when the object is open."));
    stmt_ = prepareSingle(connection.handle(), statement);
    const int count = sqlite3_column_count(stmt_);
    names_.clear();
    dateColumns_.clear();
    for (int i = 0; i < count; ++i) {
        names_.push_back(QString::fromUtf8(sqlite3_column_name(stmt_, i)));
        const char* declared = sqlite3_column_decltype(stmt_, i);
        dateColumns_.push_back(declared && sqlite3_stricmp(declared, "DATE") == 0);
    }
    eof_ = false;
    try {
        step();
    } catch (...) {
        close();
        throw;
    }
}

void Recordset::step()
{
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return;
    eof_ = true;
    if (rc != SQLITE_DONE)
        throw StoreError(engineMessage(sqlite3_db_handle(stmt_)));
}

bool Recordset::eof() const
{
    if (!stmt_)
        throw StoreError(QStringLiteral("Operation is not allowed when the object is closed."));
    return eof_;
}

void Recordset::moveNext()
{
    requireRow();
    step();
}

void Recordset::close()
{
    if (stmt_) {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
    }
    eof_ = true;
}

void Recordset::requireRow() const
{
    if (eof())
        throw StoreError(QStringLiteral("Either BOF or EOF is True, or the current record has been deleted."));
}

int Recordset::findField(QStringView name) const
{
    // Callers nearly always spell the name as the table does: that comparison is the quick one.
    for (size_t i = 0; i < names_.size(); ++i)
        if (names_[i] == name)
            return int(i);
    for (size_t i = 0; i < names_.size(); ++i)
        if (names_[i].compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

int Recordset::fieldIndex(QStringView name) const
{
    if (const int index = findField(name); index >= 0)
        return index;
    throw StoreError(u"Item '"_s + name.toString() +
                     u"' cannot be found in the collection corresponding to the requested name or ordinal."_s);
}

QVariant Recordset::field(QStringView name) const
{
    return value(fieldIndex(name));
}

QVariant Recordset::value(int index) const
{
    requireRow();
    switch (sqlite3_column_type(stmt_, index)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER:
        return qlonglong(sqlite3_column_int64(stmt_, index));
    case SQLITE_FLOAT:
        return sqlite3_column_double(stmt_, index);
    default:
        if (dateColumns_[size_t(index)]) {
            const QDate date = dateValue(index);
            if (date.isValid())
                return date;
        }
        return textValue(index);
    }
}

double Recordset::doubleValue(int index) const
{
    requireRow();
    return sqlite3_column_double(stmt_, index);
}

qint64 Recordset::intValue(int index) const
{
    requireRow();
    return sqlite3_column_int64(stmt_, index);
}

QByteArrayView Recordset::utf8Value(int index) const
{
    requireRow();
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, index));
    return QByteArrayView(text, sqlite3_column_bytes(stmt_, index));
}

QString Recordset::textValue(int index) const
{
    const QByteArrayView text = utf8Value(index);
    return QString::fromUtf8(text.data(), text.size());
}

QDate Recordset::dateValue(int index) const
{
    return parseStoredDate(utf8Value(index));
}

bool Recordset::isNull(int index) const
{
    requireRow();
    return sqlite3_column_type(stmt_, index) == SQLITE_NULL;
}
