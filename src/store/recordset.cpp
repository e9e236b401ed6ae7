#include "store/recordset.h"

#include "store/connection.h"
#include "store/engine.h"
#include "store/storeddate.h"
#include "store/storeerror.h"

using namespace Qt::StringLiterals;

Recordset::Recordset() = default;

Recordset::~Recordset()
{
    close();
}

void Recordset::open(const QString& statement, Connection& connection, int, int)
{
    if (rows_)
        throw StoreError(QStringLiteral("Operation is not allowed when the object is open."));
    rows_ = connection.engine().query(statement);
    const int count = rows_->columnCount();
    names_.clear();
    for (int i = 0; i < count; ++i)
        names_.push_back(rows_->columnName(i));
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
    eof_ = true; // a failed step leaves no current row
    eof_ = !rows_->next();
}

bool Recordset::eof() const
{
    if (!rows_)
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
    rows_.reset();
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
    switch (rows_->kind(index)) {
    case ColumnKind::Null:
        return {};
    case ColumnKind::Integer:
        return qlonglong(rows_->intValue(index));
    case ColumnKind::Real:
        return rows_->doubleValue(index);
    case ColumnKind::Text:
        break;
    }
    if (rows_->dateColumn(index)) {
        const QDate date = dateValue(index);
        if (date.isValid())
            return date;
    }
    return textValue(index);
}

double Recordset::doubleValue(int index) const
{
    requireRow();
    return rows_->doubleValue(index);
}

qint64 Recordset::intValue(int index) const
{
    requireRow();
    return rows_->intValue(index);
}

QByteArrayView Recordset::utf8Value(int index) const
{
    requireRow();
    return rows_->utf8(index);
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
    return rows_->kind(index) == ColumnKind::Null;
}
