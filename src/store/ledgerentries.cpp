#include "store/ledgerentries.h"

#include "money/numberparser.h"
#include "store/connection.h"
#include "store/statements.h"
#include "store/storeerror.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace {

// The column of each EntryField, in its order.
constexpr std::array<const char16_t*, 9> columnNames = {
    u"id", u"datercvd", u"amount", u"reason", u"fromcompany", u"tocompany", u"paymentmethod", u"notes", u"paymenttype"};

QStringView nameOf(EntryField field)
{
    return QStringView(columnNames[size_t(field)]);
}

} // namespace

void EntryRows::open(const QString& statement, Connection& connection)
{
    rs_.open(statement, connection, adOpenStatic, adLockReadOnly);
    for (size_t i = 0; i < columnNames.size(); ++i)
        columns_[i] = rs_.findField(QStringView(columnNames[i]));
}

void EntryRows::requireEveryColumn() const
{
    QStringList missing;
    for (size_t i = 0; i < columnNames.size(); ++i)
        if (columns_[i] < 0)
            missing.append(QString::fromUtf16(columnNames[i]));
    if (!missing.isEmpty())
        throw StoreError(u"The ledger table has no column "_s + missing.join(u", ") + u"."_s);
}

int EntryRows::missingColumn(EntryField field) const
{
    rs_.fieldIndex(nameOf(field));
    throw StoreError(u"The ledger table has no column "_s + nameOf(field).toString() + u"."_s);
}

Entry EntryRows::entry() const
{
    Entry e;
    e.id = id();
    e.date = date();
    e.reason = text(EntryField::Reason);
    e.fromCompany = text(EntryField::FromCompany);
    e.toCompany = text(EntryField::ToCompany);
    e.amountText = amountText(amount());
    e.paymentMethod = text(EntryField::PaymentMethod);
    e.notes = text(EntryField::Notes);
    const std::optional<Direction> stored = direction();
    // A copy must be a copy: one counted neither as received nor as paid is not guessed at.
    if (!stored)
        throw StoreError(u"Entry %1 is neither Received nor Paid Out (its paymenttype is \"%2\"), so it cannot be "
                         u"copied."_s.arg(QString::number(e.id), text(EntryField::Direction)));
    e.direction = *stored;
    return e;
}

EntryImage EntryRows::image() const
{
    EntryImage image;
    for (size_t i = 0; i < columns_.size(); ++i)
        if (columns_[i] >= 0)
            image.stored[i] = rs_.value(columns_[i]);
    return image;
}

LedgerEntries::LedgerEntries(std::function<Connection&()> connection) : connection_(std::move(connection)) {}

LedgerEntries::LedgerEntries(Connection& connection)
    : connection_([&connection]() -> Connection& { return connection; })
{
}

void LedgerEntries::readAll(EntryRows& rows) const
{
    rows.open(selectAllEntries(), connection());
}

void LedgerEntries::readOne(EntryRows& rows, const QString& id) const
{
    rows.open(selectEntry(id), connection());
}

void LedgerEntries::add(const Entry& entry) const
{
    connection().execute(insertEntry(entry));
}

void LedgerEntries::addCopy(const Entry& entry) const
{
    connection().execute(insertCopy(entry));
}

void LedgerEntries::update(const Entry& entry, const QString& id) const
{
    connection().execute(updateEntry(entry, id));
}

void LedgerEntries::updateUnchanged(const Entry& entry, const QString& id, const EntryImage& loaded) const
{
    Connection& ledger = connection();
    inOneBatch(ledger, [&] {
        EntryImage now = lockedImage(id);
        if (now != loaded)
            throw EntryChanged(id, loaded, std::move(now));
        ledger.execute(updateEntry(entry, id));
    });
}

void LedgerEntries::remove(const QString& id) const
{
    Connection& ledger = connection();
    inOneBatch(ledger, [&] {
        lockedImage(id);
        ledger.execute(deleteEntry(id));
    });
}

EntryImage LedgerEntries::lockedImage(const QString& id) const
{
    connection().engine().lockEntry(id);
    EntryRows rows;
    readOne(rows, id);
    if (rows.atEnd())
        throw EntryGone(id);
    return rows.image();
}

qint64 LedgerEntries::count() const
{
    Recordset rs;
    rs.open(countEntries(), connection());
    return rs.intValue(0);
}
