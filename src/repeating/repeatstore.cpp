#include "repeating/repeatstore.h"

#include "money/numberparser.h"
#include "store/connection.h"
#include "store/engine.h"
#include "store/entryimport.h"
#include "store/storeerror.h"

#include <QSet>
#include <algorithm>
#include <functional>
#include <memory>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

using Statement = std::unique_ptr<EngineStatement>;

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

QString textIn(const EngineStatement& stmt, int column)
{
    return QString::fromUtf8(stmt.utf8(column));
}

QDate dateIn(const EngineStatement& stmt, int column)
{
    return QDate::fromString(textIn(stmt, column), Qt::ISODate);
}

double amountOf(const Entry& entry)
{
    const std::optional<double> amount = parseNumber(entry.amountText);
    if (!amount)
        throw StoreError(u"The amount \"%1\" is not a number."_s.arg(entry.amountText));
    return *amount;
}

void bindRule(EngineStatement& stmt, const RepeatRule& rule)
{
    if (const QString why = whyInvalid(rule); !why.isEmpty())
        throw StoreError(why);
    const Entry& e = rule.entry;
    stmt.bindText(1, e.reason);
    stmt.bindText(2, e.fromCompany);
    stmt.bindText(3, e.toCompany);
    stmt.bindDouble(4, amountOf(e));
    stmt.bindText(5, e.paymentMethod);
    stmt.bindText(6, e.notes);
    stmt.bindInt(7, storedValue(e.direction));
    stmt.bindInt(8, int(rule.unit));
    stmt.bindInt(9, rule.every);
    stmt.bindInt(10, rule.dayOfMonth);
    stmt.bindDate(11, rule.start);
    stmt.bindInt(12, int(rule.end));
    if (rule.end == RepeatEnd::OnDate)
        stmt.bindDate(13, rule.endDate);
    if (rule.end == RepeatEnd::AfterCount)
        stmt.bindInt(14, rule.endCount);
    stmt.bindInt(15, rule.paused ? 1 : 0);
}

// A row of the rules' query. Stored values no version writes (a unit of 9, say) make a rule that has no
// dates, rather than one that guesses.
RepeatRule ruleIn(const EngineStatement& stmt)
{
    RepeatRule rule;
    rule.id = stmt.intValue(0);
    Entry& e = rule.entry;
    e.reason = textIn(stmt, 1);
    e.fromCompany = textIn(stmt, 2);
    e.toCompany = textIn(stmt, 3);
    e.amountText = amountText(stmt.doubleValue(4));
    e.paymentMethod = textIn(stmt, 5);
    e.notes = textIn(stmt, 6);
    e.direction = directionFromStored(stmt.intValue(7)).value_or(Direction::Received);
    rule.unit = RepeatUnit(stmt.intValue(8));
    rule.every = int(stmt.intValue(9));
    rule.dayOfMonth = int(stmt.intValue(10));
    rule.start = dateIn(stmt, 11);
    rule.end = RepeatEnd(stmt.intValue(12));
    rule.endDate = dateIn(stmt, 13);
    rule.endCount = int(stmt.intValue(14));
    rule.paused = stmt.intValue(15) != 0;
    return rule;
}

// Runs one statement with an id bound last; throws when no rule has that id.
void changeRule(EngineStatement& stmt, int idIndex, qint64 ruleId)
{
    stmt.bindInt(idIndex, ruleId);
    if (stmt.run() == 0)
        throw StoreError(u"The ledger has no repeating entry %1."_s.arg(ruleId));
}

QSet<qint64> recordedDays(EngineStatement& stmt, qint64 ruleId)
{
    QSet<qint64> days;
    stmt.bindInt(1, ruleId);
    while (stmt.next())
        days.insert(dateIn(stmt, 0).toJulianDay());
    stmt.reset();
    return days;
}

// Records each occurrence that is new in one transaction, asking `entryOf` for the entry of each
// (by its index) only once its record is in.
void recordEach(Connection& connection, const std::vector<Occurrence>& occurrences,
                const std::function<std::optional<qint64>(size_t)>& entryOf)
{
    LedgerEngine& engine = connection.engine();
    const Statement record = engine.prepare(recordOccurrence);
    const Statement link = engine.prepare(linkEntry);
    inOneBatch(connection, [&] {
        for (size_t i = 0; i < occurrences.size(); ++i) {
            const Occurrence& o = occurrences[i];
            record->bindInt(1, o.ruleId);
            record->bindDate(2, o.entry.date);
            if (record->run() == 0)
                continue;
            if (const std::optional<qint64> entryId = entryOf(i)) {
                link->bindInt(1, *entryId);
                link->bindInt(2, o.ruleId);
                link->bindDate(3, o.entry.date);
                link->run();
            }
        }
    });
}

} // namespace

std::vector<RepeatRule> RepeatStore::rules() const
{
    std::vector<RepeatRule> rules;
    const QByteArray sql = QByteArray("SELECT id, ") + ruleColumns + " FROM tblRepeat ORDER BY id";
    try {
        const Statement stmt = connection_.engine().prepare(sql);
        while (stmt->next())
            rules.push_back(ruleIn(*stmt));
    } catch (const StoreError& error) {
        // A failing read of the rules names its statement, as it always did.
        throw StoreError(QString::fromUtf8(sql) + u": "_s + QString::fromUtf8(error.what()));
    }
    return rules;
}

qint64 RepeatStore::add(const RepeatRule& rule) const
{
    const Statement stmt = connection_.engine().prepare(QByteArray("INSERT INTO tblRepeat (") + ruleColumns +
                                                        ") VALUES (" + ruleValues + ") RETURNING id");
    bindRule(*stmt, rule);
    return stmt->runForId();
}

void RepeatStore::update(const RepeatRule& rule) const
{
    const Statement stmt = connection_.engine().prepare(QByteArray("UPDATE tblRepeat SET (") + ruleColumns + ") = (" +
                                                        ruleValues + ") WHERE id = ?");
    bindRule(*stmt, rule);
    changeRule(*stmt, ruleColumnCount + 1, rule.id);
}

void RepeatStore::setPaused(qint64 ruleId, bool paused) const
{
    const Statement stmt = connection_.engine().prepare("UPDATE tblRepeat SET paused = ? WHERE id = ?");
    stmt->bindInt(1, paused ? 1 : 0);
    changeRule(*stmt, 2, ruleId);
}

void RepeatStore::remove(qint64 ruleId) const
{
    LedgerEngine& engine = connection_.engine();
    const Statement rule = engine.prepare("DELETE FROM tblRepeat WHERE id = ?");
    const Statement records = engine.prepare("DELETE FROM tblRepeatPosted WHERE ruleid = ?");
    inOneBatch(connection_, [&] {
        records->bindInt(1, ruleId);
        records->run();
        changeRule(*rule, 1, ruleId);
    });
}

std::vector<Occurrence> RepeatStore::dueOccurrences(QDate today) const
{
    const Statement recorded = connection_.engine().prepare("SELECT occurred FROM tblRepeatPosted WHERE ruleid = ?");
    std::vector<Occurrence> due;
    for (const RepeatRule& rule : rules()) {
        const QSet<qint64> done = recordedDays(*recorded, rule.id);
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
