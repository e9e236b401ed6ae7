#include "ledgerlist/ledgerstatistics.h"

#include "ledgerlist/ledgermodel.h"
#include "ledgerlist/stretches.h"

#include <QHash>
#include <algorithm>
#include <functional>
#include <limits>
#include <string_view>

// The sums are plain doubles: each stretch of rows is added up in row order and the stretches are
// then added in order. That differs from one sum in row order only in where the roundings fall,
// each below 2^-53 of a running total: a million entries of a billion in all stay within about
// 1e-4 of it, far from a cent.

namespace {

struct Sums
{
    double received = 0, paid = 0;

    void add(Direction direction, double amount) { (direction == Direction::Received ? received : paid) += amount; }
    void add(const Sums& other)
    {
        received += other.received;
        paid += other.paid;
    }
};

// The entries of one ranked text.
struct Group
{
    double amount = 0;
    qsizetype entries = 0;
};

// A ranked text as a hash key. Qt's own hash of bytes is built for hostile keys and costs several
// times more, which a million entries with four texts each would feel.
struct TextKey
{
    QByteArrayView text;

    bool operator==(const TextKey& other) const { return text == other.text; }
};

size_t qHash(TextKey key, size_t seed)
{
    return std::hash<std::string_view>()(std::string_view(key.text.data(), size_t(key.text.size()))) ^ seed;
}

using Groups = QHash<TextKey, Group>;

// The calendar year and month of a Julian day, in integers only: a conversion through QDate for
// every entry took a fifth of the pass. The proleptic Gregorian calendar, as QDate's.
void yearAndMonth(qint64 julianDay, int& year, int& month)
{
    const qint64 z = julianDay - 1721120; // days since 0000-03-01
    const qint64 era = (z >= 0 ? z : z - 146096) / 146097;
    const qint64 dayOfEra = z - era * 146097;
    const qint64 yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const qint64 dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const qint64 shiftedMonth = (5 * dayOfYear + 2) / 153; // March is 0
    month = int(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
    year = int(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
}

// A number per step that grows with the date: months, quarters or years since the year 0.
int stepKey(qint64 julianDay, StatisticsStep step)
{
    int year = 0, month = 0;
    yearAndMonth(julianDay, year, month);
    switch (step) {
    case StatisticsStep::Month:
        return year * 12 + month - 1;
    case StatisticsStep::Quarter:
        return year * 4 + (month - 1) / 3;
    case StatisticsStep::Year:
        break;
    }
    return year;
}

QDate stepStart(int key, StatisticsStep step)
{
    switch (step) {
    case StatisticsStep::Month:
        return QDate(key / 12, key % 12 + 1, 1);
    case StatisticsStep::Quarter:
        return QDate(key / 4, key % 4 * 3 + 1, 1);
    case StatisticsStep::Year:
        break;
    }
    return QDate(key, 1, 1);
}

// The sums of each step, from the earliest step met to the latest: the period's ends may be open,
// so where they lie is known only once every row is seen.
class StepSums
{
public:
    Sums& at(int key)
    {
        if (sums_.empty())
            first_ = key;
        if (key < first_) {
            sums_.insert(sums_.begin(), size_t(first_ - key), Sums());
            first_ = key;
        }
        if (size_t(key - first_) >= sums_.size())
            sums_.resize(size_t(key - first_) + 1);
        return sums_[size_t(key - first_)];
    }
    Sums of(int key) const
    {
        return key >= first_ && size_t(key - first_) < sums_.size() ? sums_[size_t(key - first_)] : Sums();
    }
    void add(const StepSums& other)
    {
        for (size_t i = 0; i < other.sums_.size(); ++i)
            at(other.first_ + int(i)).add(other.sums_[i]);
    }

private:
    int first_ = 0;
    std::vector<Sums> sums_;
};

// The period's closed ends as Julian days; an open end lets every date through.
struct DayRange
{
    qint64 from = std::numeric_limits<qint64>::min(), to = std::numeric_limits<qint64>::max();
};

// What one stretch of rows adds up to.
struct Partial
{
    qsizetype entries = 0, unusable = 0;
    qint64 firstDay = std::numeric_limits<qint64>::max(), lastDay = std::numeric_limits<qint64>::min();
    Sums before;
    StepSums steps;
    std::array<Groups, 4> groups;

    void add(const LedgerModel& model, int row, const DayRange& days, StatisticsStep step, Direction ranked);
    // Adds the partial of the stretch that follows this one.
    void add(const Partial& next);
};

void Partial::add(const LedgerModel& model, int row, const DayRange& days, StatisticsStep step, Direction ranked)
{
    const std::optional<Direction> direction = model.direction(row);
    if (!direction || !model.hasDate(row) || !model.hasAmount(row)) {
        ++unusable;
        return;
    }
    const qint64 day = model.julianDay(row);
    const double amount = model.amount(row);
    if (day < days.from) {
        before.add(*direction, amount);
        return;
    }
    if (day > days.to)
        return;
    ++entries;
    firstDay = std::min(firstDay, day);
    lastDay = std::max(lastDay, day);
    steps.at(stepKey(day, step)).add(*direction, amount);
    if (*direction != ranked)
        return;
    for (size_t field = 0; field < groups.size(); ++field) {
        Group& group = groups[field][{model.storedText(row, storedTextNumber(RankedField(field)))}];
        group.amount += amount;
        ++group.entries;
    }
}

void Partial::add(const Partial& next)
{
    entries += next.entries;
    unusable += next.unusable;
    firstDay = std::min(firstDay, next.firstDay);
    lastDay = std::max(lastDay, next.lastDay);
    before.add(next.before);
    steps.add(next.steps);
    for (size_t field = 0; field < groups.size(); ++field) {
        for (auto it = next.groups[field].cbegin(); it != next.groups[field].cend(); ++it) {
            Group& group = groups[field][it.key()];
            group.amount += it->amount;
            group.entries += it->entries;
        }
    }
}

RankedFigure rankedFigure(QString name, const Group& group, double total, bool isRest)
{
    return {std::move(name), group.amount, total != 0 ? group.amount / total : 0, group.entries, isRest};
}

std::vector<RankedFigure> ranking(const Groups& groups, double total, int top)
{
    std::vector<std::pair<QByteArrayView, Group>> sorted;
    sorted.reserve(size_t(groups.size()));
    for (auto it = groups.cbegin(); it != groups.cend(); ++it)
        sorted.emplace_back(it.key().text, *it);
    // UTF-8 in byte order is in code point order. The whole order is fixed, so the rest adds up
    // the same way every time.
    std::sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) {
        return a.second.amount != b.second.amount ? a.second.amount > b.second.amount : a.first.compare(b.first) < 0;
    });
    const size_t shown = std::min(sorted.size(), size_t(std::max(top, 0)));
    std::vector<RankedFigure> figures;
    figures.reserve(shown + 1);
    for (size_t i = 0; i < shown; ++i)
        figures.push_back(rankedFigure(QString::fromUtf8(sorted[i].first), sorted[i].second, total, false));
    if (shown == sorted.size())
        return figures;
    Group rest;
    for (size_t i = shown; i < sorted.size(); ++i) {
        rest.amount += sorted[i].second.amount;
        rest.entries += sorted[i].second.entries;
    }
    figures.push_back(rankedFigure({}, rest, total, true));
    return figures;
}

} // namespace

LedgerStatistics computeStatistics(const LedgerModel& model, const std::vector<int>& rows, const StatisticsScope& scope,
                                   Direction rankedDirection, int top)
{
    DayRange days;
    if (scope.from)
        days.from = scope.from->toJulianDay();
    if (scope.to)
        days.to = scope.to->toJulianDay();
    std::vector<Partial> parts(stretchCount(rows.size()));
    inStretches(rows.size(), [&](size_t part, size_t begin, size_t end) {
        for (size_t i = begin; i < end; ++i)
            parts[part].add(model, rows[i], days, scope.step, rankedDirection);
    });
    Partial& total = parts.front();
    for (size_t part = 1; part < parts.size(); ++part)
        total.add(parts[part]);

    LedgerStatistics figures;
    figures.entries = total.entries;
    figures.unusable = total.unusable;
    figures.balanceBefore = total.before.received - total.before.paid;
    // An open end with nothing in the period leaves no period to step through.
    const QDate from = scope.from ? *scope.from : total.entries ? QDate::fromJulianDay(total.firstDay) : QDate();
    const QDate to = scope.to ? *scope.to : total.entries ? QDate::fromJulianDay(total.lastDay) : QDate();
    Sums sofar = total.before;
    if (from.isValid() && to.isValid() && from <= to) {
        for (int key = stepKey(from.toJulianDay(), scope.step), last = stepKey(to.toJulianDay(), scope.step);
             key <= last; ++key) {
            const Sums sums = total.steps.of(key);
            sofar.add(sums);
            figures.received += sums.received;
            figures.paid += sums.paid;
            figures.steps.push_back({std::max(stepStart(key, scope.step), from),
                                     std::min(stepStart(key + 1, scope.step).addDays(-1), to), sums.received, sums.paid,
                                     sofar.received - sofar.paid});
        }
    }
    const double rankedTotal = rankedDirection == Direction::Received ? figures.received : figures.paid;
    for (size_t field = 0; field < figures.ranked.size(); ++field)
        figures.ranked[field] = ranking(total.groups[field], rankedTotal, top);
    return figures;
}

LedgerFilter figureEntries(QDate first, QDate last, Direction direction,
                           std::optional<std::pair<RankedField, QString>> text)
{
    LedgerFilter filter;
    filter.from = first;
    filter.to = last;
    filter.direction = direction;
    // Any bound on the amount lets only entries with one through, as the figures count them.
    filter.minAmount = -std::numeric_limits<double>::infinity();
    filter.exactText = std::move(text);
    return filter;
}
