#include "store/entryimport.h"

#include "store/connection.h"
#include "store/engine.h"
#include "store/storeddate.h"

#include <cmath>

namespace {

constexpr char insertNewEntry[] = "insert into tblData (datercvd, reason, fromcompany, tocompany, amount, "
                                  "paymentmethod, notes, paymenttype) values (?,?,?,?,?,?,?,?) returning id";

// Texts are compared as a person reads them: case and surrounding blanks do not count.
QString folded(QStringView text)
{
    return text.trimmed().toString().toCaseFolded();
}

} // namespace

NewEntryInsert::NewEntryInsert(Connection& connection) : insert_(connection.engine().prepare(insertNewEntry)) {}

NewEntryInsert::~NewEntryInsert() = default;

qint64 NewEntryInsert::add(const NewEntry& entry)
{
    insert_->bindDate(1, entry.date);
    insert_->bindText(2, entry.reason);
    insert_->bindText(3, entry.fromCompany);
    insert_->bindText(4, entry.toCompany);
    insert_->bindDouble(5, entry.amount);
    insert_->bindText(6, entry.paymentMethod);
    insert_->bindText(7, entry.notes);
    insert_->bindInt(8, storedValue(entry.direction));
    return insert_->runForId();
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
    // text of a long ledger would cost more than the whole import. The range ends before the next
    // day, so a date stored with its time of day is within it on the last day too.
    const std::unique_ptr<EngineStatement> rows = connection.engine().prepare(
        "select id, datercvd, amount, paymenttype from tblData where datercvd >= ? and datercvd < ?");
    rows->bindDate(1, first);
    rows->bindDate(2, last.addDays(1));
    while (rows->next()) {
        const QDate date = parseStoredDate(rows->utf8(1));
        const std::optional<Direction> direction = directionFromStored(rows->intValue(3));
        // An entry of no known direction cannot be the same as an imported one, which has one.
        if (date.isValid() && rows->kind(2) != ColumnKind::Null && direction)
            ids_.insert(keyOf(date, rows->doubleValue(2), *direction), rows->intValue(0));
    }
}

LedgerEntryIndex::~LedgerEntryIndex() = default;

LedgerEntryIndex::Key LedgerEntryIndex::keyOf(QDate date, double amount, Direction direction)
{
    return {date.toJulianDay(), std::llround(std::abs(amount) * 100), direction};
}

bool LedgerEntryIndex::contains(const NewEntry& entry) const
{
    auto [it, end] = ids_.equal_range(keyOf(entry.date, entry.amount, entry.direction));
    if (it == end)
        return false;
    if (!texts_)
        texts_ = connection_.engine().prepare("select reason, fromcompany, tocompany from tblData where id = ?");
    const QString reason = folded(entry.reason), from = folded(entry.fromCompany), to = folded(entry.toCompany);
    const auto text = [&](int column) { return folded(QString::fromUtf8(texts_->utf8(column))); };
    for (; it != end; ++it) {
        texts_->bindInt(1, *it);
        const bool same = texts_->next() && text(0) == reason && text(1) == from && text(2) == to;
        texts_->reset();
        if (same)
            return true;
    }
    return false;
}
