#include "repeating/repeatstore.h"

#include "money/numberparser.h"
#include "store/connection.h"
#include "store/entryimport.h"
#include "store/prepare.h"
#include "store/sqlitefile.h"

#include <QSet>
#include <algorithm>
#include <functional>
#include <memory>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

struct Finalize
{
    void operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }
};
using Statement = std::unique_ptr<sqlite3_stmt, Finalize>;

// The rule's columns, bound in this order by bindRule.
constexpr char ruleColumns[] =
    "reason, fromcompany, tocompany, amount, paymentmethod, notes, paymenttype, unit, every, "
    "monthday, startdate, endkind, enddate, endcount, paused";
constexpr char ruleValues[] = "?,?,?,?,?,?,?,?,?,?,?,?,?,?,?";
constexpr int ruleColumnCount = 15;

// The record decides whether an occurrence is new, within the transaction that adds its entry; an
// occurrence of a rule that is gone is not recorded.
constexpr char recordOccurrence[] = "INSERT INTO tblRepeatPosted (ruleid, occurred, entryid) SELECT ?1, ?2, NULL "
                                    "WHERE EXISTS (SELECT 1 FROM tblRepeat WHERE id = ?1) ON CONFLICT DO NOTHING";
constexpr char linkEntry[] = "UPDATE tblRepeatPosted SET entryid = ? WHERE ruleid = ? AND occurred = ?";

QString isoDate(QDate date)
{
    return date.toString(Qt::ISODate);
}

QDate dateIn(sqlite3_stmt* stmt, int column)
{
    return QDate::fromString(columnText(stmt, column), Qt::ISODate);
}

double amountOf(const Entry& entry)
{
    const std::optional<double> amount = parseNumber(entry.amountText);
    if (!amount)
        throw StoreError(u"The amount \"%1\" is not a number."_s.arg(entry.amountText));
    return *amount;
}

void bindRule(sqlite3_stmt* stmt, const RepeatRule& rule)
{
    if (const QString why = whyInvalid(rule); !why.isEmpty())
        throw StoreError(why);
    const Entry& e = rule.entry;
    bindText(stmt, 1, e.reason);
    bindText(stmt, 2, e.fromCompany);
    bindText(stmt, 3, e.toCompany);
    sqlite3_bind_double(stmt, 4, amountOf(e));
    bindText(stmt, 5, e.paymentMethod);
    bindText(stmt, 6, e.notes);
    sqlite3_bind_int(stmt, 7, storedValue(e.direction));
    sqlite3_bind_int(stmt, 8, int(rule.unit));
    sqlite3_bind_int(stmt, 9, rule.every);
    sqlite3_bind_int(stmt, 10, rule.dayOfMonth);
    bindText(stmt, 11, isoDate(rule.start));
    sqlite3_bind_int(stmt, 12, int(rule.end));
    if (rule.end == RepeatEnd::OnDate)
        bindText(stmt, 13, isoDate(rule.endDate));
    if (rule.end == RepeatEnd::AfterCount)
        sqlite3_bind_int(stmt, 14, rule.endCount);
    sqlite3_bind_int(stmt, 15, rule.paused ? 1 : 0);
}

// A row of the rules' query. Stored values no version writes (a unit of 9, say) make a rule that has no
// dates, rather than one that guesses.
RepeatRule ruleIn(sqlite3_stmt* stmt)
{
    RepeatRule rule;
    rule.id = sqlite3_column_int64(stmt, 0);
    Entry& e = rule.entry;
    e.reason = columnText(stmt, 1);
    e.fromCompany = columnText(stmt, 2);
    e.toCompany = columnText(stmt, 3);
    e.amountText = amountText(sqlite3_column_double(stmt, 4));
    e.paymentMethod = columnText(stmt, 5);
    e.notes = columnText(stmt, 6);
    e.direction = directionFromStored(sqlite3_column_int64(stmt, 7)).value_or(Direction::Received);
    rule.unit = RepeatUnit(sqlite3_column_int(stmt, 8));
    rule.every = sqlite3_column_int(stmt, 9);
    rule.dayOfMonth = sqlite3_column_int(stmt, 10);
    rule.start = dateIn(stmt, 11);
    rule.end = RepeatEnd(sqlite3_column_int(stmt, 12));
    rule.endDate = dateIn(stmt, 13);
    rule.endCount = sqlite3_column_int(stmt, 14);
    rule.paused = sqlite3_column_int(stmt, 15) != 0;
    return rule;
}

// Runs one statement with an id bound last; throws when no rule has that id.
void changeRule(sqlite3* db, sqlite3_stmt* stmt, int idIndex, qint64 ruleId)
{
    sqlite3_bind_int64(stmt, idIndex, ruleId);
    runBound(db, stmt);
    if (sqlite3_changes(db) == 0)
        throw StoreError(u"The ledger has no repeating entry %1."_s.arg(ruleId));
}

QSet<qint64> recordedDays(sqlite3* db, sqlite3_stmt* stmt, qint64 ruleId)
{
    QSet<qint64> days;
    sqlite3_bind_int64(stmt, 1, ruleId);
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW)
        days.insert(dateIn(stmt, 0).toJulianDay());
    sqlite3_reset(stmt);
    if (rc != SQLITE_DONE)
        throw StoreError(engineMessage(db));
    return days;
}

// Records each occurrence that is new in one transaction, asking `entryOf` for the entry of each
// (by its index) only once its record is in.
void recordEach(Connection& connection, const std::vector<Occurrence>& occurrences,
                const std::function<std::optional<qint64>(size_t)>& entryOf)
{
    sqlite3* db = connection.handle();
    const Statement record(prepareOne(db, recordOccurrence));
    const Statement link(prepareOne(db, linkEntry));
    inOneBatch(connection, [&] {
        for (size_t i = 0; i < occurrences.size(); ++i) {
            const Occurrence& o = occurrences[i];
            sqlite3_bind_int64(record.get(), 1, o.ruleId);
            bindText(record.get(), 2, isoDate(o.entry.date));
            runBound(db, record.get());
            if (sqlite3_changes(db) == 0)
                continue;
            if (const std::optional<qint64> entryId = entryOf(i)) {
                sqlite3_bind_int64(link.get(), 1, *entryId);
                sqlite3_bind_int64(link.get(), 2, o.ruleId);
                bindText(link.get(), 3, isoDate(o.entry.date));
                runBound(db, link.get());
            }
        }
    });
}

} // namespace

std::vector<RepeatRule> RepeatStore::rules() const
{
    std::vector<RepeatRule> rules;
    const QByteArray sql = QByteArray("SELECT id, ") + ruleColumns + " FROM tblRepeat ORDER BY id";
    query(connection_.handle(), sql.constData(), [&](sqlite3_stmt* stmt) { rules.push_back(ruleIn(stmt)); });
    return rules;
}

qint64 RepeatStore::add(const RepeatRule& rule) const
{
    sqlite3* db = connection_.handle();
    const Statement stmt(
        prepareOne(db, QByteArray("INSERT INTO tblRepeat (") + ruleColumns + ") VALUES (" + ruleValues + ")"));
    bindRule(stmt.get(), rule);
    runBound(db, stmt.get());
    return sqlite3_last_insert_rowid(db);
}

void RepeatStore::update(const RepeatRule& rule) const
{
    sqlite3* db = connection_.handle();
    const Statement stmt(
        prepareOne(db, QByteArray("UPDATE tblRepeat SET (") + ruleColumns + ") = (" + ruleValues + ") WHERE id = ?"));
    bindRule(stmt.get(), rule);
    changeRule(db, stmt.get(), ruleColumnCount + 1, rule.id);
}

void RepeatStore::setPaused(qint64 ruleId, bool paused) const
{
    sqlite3* db = connection_.handle();
    const Statement stmt(prepareOne(db, "UPDATE tblRepeat SET paused = ? WHERE id = ?"));
    sqlite3_bind_int(stmt.get(), 1, paused ? 1 : 0);
    changeRule(db, stmt.get(), 2, ruleId);
}

void RepeatStore::remove(qint64 ruleId) const
{
    sqlite3* db = connection_.handle();
    const Statement rule(prepareOne(db, "DELETE FROM tblRepeat WHERE id = ?"));
    const Statement records(prepareOne(db, "DELETE FROM tblRepeatPosted WHERE ruleid = ?"));
    inOneBatch(connection_, [&] {
        sqlite3_bind_int64(records.get(), 1, ruleId);
        runBound(db, records.get());
        changeRule(db, rule.get(), 1, ruleId);
    });
}

std::vector<Occurrence> RepeatStore::dueOccurrences(QDate today) const
{
    sqlite3* db = connection_.handle();
    const Statement recorded(prepareOne(db, "SELECT occurred FROM tblRepeatPosted WHERE ruleid = ?"));
    std::vector<Occurrence> due;
    for (const RepeatRule& rule : rules()) {
        const QSet<qint64> done = recordedDays(db, recorded.get(), rule.id);
        for (QDate date : dueDates(rule, today)) {
            if (done.contains(date.toJulianDay()))
                continue;
            Occurrence& o = due.emplace_back(Occurrence{rule.id, rule.entry});
            o.entry.date = date;
        }
    }
    std::stable_sort(due.begin(), due.end(),
                     [](const Occurrence& a, const Occurrence& b) { return a.entry.date < b.entry.date; });
    return due;
}

QList<qint64> RepeatStore::post(const std::vector<Occurrence>& occurrences) const
{
    // Every amount is read before anything is written, so one that is no number writes nothing.
    std::vector<NewEntry> entries;
    entries.reserve(occurrences.size());
    for (const Occurrence& o : occurrences) {
        const Entry& e = o.entry;
        entries.push_back(
            {e.date, amountOf(e), e.direction, e.reason, e.fromCompany, e.toCompany, e.paymentMethod, e.notes});
    }
    NewEntryInsert insert(connection_);
    QList<qint64> ids;
    recordEach(connection_, occurrences, [&](size_t i) -> std::optional<qint64> {
        ids.append(insert.add(entries[i]));
        return ids.last();
    });
    return ids;
}

void RepeatStore::skip(const std::vector<Occurrence>& occurrences) const
{
    recordEach(connection_, occurrences, [](size_t) { return std::optional<qint64>(); });
}
