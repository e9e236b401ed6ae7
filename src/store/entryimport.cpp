#include "store/entryimport.h"

#include "store/connection.h"
#include "store/prepare.h"
#include "store/recordset.h"

#include <cmath>
#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

constexpr char insertNewEntry[] = "insert into tblData (datercvd, reason, fromcompany, tocompany, amount, "
                                  "paymentmethod, notes, paymenttype) values (?,?,?,?,?,?,?,?)";

// Texts are compared as a person reads them: case and surrounding blanks do not count.
QString folded(QStringView text)
{
    return text.trimmed().toString().toCaseFolded();
}

} // namespace

NewEntryInsert::NewEntryInsert(Connection& connection)
    : db_(connection.handle()), stmt_(prepareOne(db_, insertNewEntry))
{
}

NewEntryInsert::~NewEntryInsert()
{
    sqlite3_finalize(stmt_);
}

qint64 NewEntryInsert::add(const NewEntry& entry)
{
    bindText(stmt_, 1, entry.date.toString(Qt::ISODate));
    bindText(stmt_, 2, entry.reason);
    bindText(stmt_, 3, entry.fromCompany);
    bindText(stmt_, 4, entry.toCompany);
    sqlite3_bind_double(stmt_, 5, entry.amount);
    bindText(stmt_, 6, entry.paymentMethod);
    bindText(stmt_, 7, entry.notes);
    sqlite3_bind_int(stmt_, 8, storedValue(entry.direction));
    runBound(db_, stmt_);
    return sqlite3_last_insert_rowid(db_);
}

QList<qint64> addEntries(Connection& connection, const std::vector<NewEntry>& entries, const ProgressCheck& progress)
{
    NewEntryInsert insert(connection);
    QList<qint64> ids;
    ids.reserve(qsizetype(entries.size()));
    inOneBatch(connection, [&] {
        for (const NewEntry& entry : entries) {
            checkProgress(progress, ids.size());
            ids.append(insert.add(entry));
        }
    });
    return ids;
}

LedgerEntryIndex::LedgerEntryIndex(Connection& connection, QDate first, QDate last) : connection_(connection)
{
    if (!first.isValid() || !last.isValid())
        return;
    // The texts are read only for the few entries whose numbers match: reading and folding every
    // text of a long ledger would cost more than the whole import.
    Recordset rs;
    rs.open(u"select id, datercvd, amount, paymenttype from tblData where datercvd between '"_s +
                first.toString(Qt::ISODate) + u"' and '"_s + last.toString(Qt::ISODate) + u" 99'"_s,
            connection);
    for (; !rs.eof(); rs.moveNext()) {
        const QDate date = rs.dateValue(1);
        const std::optional<Direction> direction = directionFromStored(rs.intValue(3));
        // An entry of no known direction cannot be the same as an imported one, which has one.
        if (date.isValid() && !rs.isNull(2) && direction)
            ids_.insert(keyOf(date, rs.doubleValue(2), *direction), rs.intValue(0));
    }
}

LedgerEntryIndex::~LedgerEntryIndex()
{
    sqlite3_finalize(texts_);
}

LedgerEntryIndex::Key LedgerEntryIndex::keyOf(QDate date, double amount, Direction direction)
{
    return {date.toJulianDay(), std::llround(std::abs(amount) * 100), direction};
}

bool LedgerEntryIndex::contains(const NewEntry& entry) const
{
    auto [it, end] = ids_.equal_range(keyOf(entry.date, entry.amount, entry.direction));
    if (it == end)
        return false;
    sqlite3* db = connection_.handle();
    if (!texts_)
        texts_ = prepareOne(db, "select reason, fromcompany, tocompany from tblData where id = ?");
    const QString reason = folded(entry.reason), from = folded(entry.fromCompany), to = folded(entry.toCompany);
    const auto text = [&](int column) {
        return folded(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(texts_, column)),
                                        sqlite3_column_bytes(texts_, column)));
    };
    for (; it != end; ++it) {
        sqlite3_bind_int64(texts_, 1, *it);
        const bool same = sqlite3_step(texts_) == SQLITE_ROW && text(0) == reason && text(1) == from && text(2) == to;
        sqlite3_reset(texts_);
        if (same)
            return true;
    }
    return false;
}
