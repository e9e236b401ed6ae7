#include "repeating/repeatrule.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// The n-th occurrence counted from the start's month, never from an earlier occurrence: chaining
// clamped dates would drift from the 31st to the 28th for good after February.
QDate monthlyOccurrence(const RepeatRule& rule, qint64 n)
{
    const qint64 months = rule.unit == RepeatUnit::Years ? 12 * qint64(rule.every) : rule.every;
    const qint64 index = qint64(rule.start.year()) * 12 + rule.start.month() - 1 + n * months;
    const QDate first(int(index / 12), int(index % 12) + 1, 1);
    const int last = first.daysInMonth();
    const int day = rule.dayOfMonth == RepeatRule::lastDayOfMonth ? last : std::min(rule.dayOfMonth, last);
    return first.addDays(day - 1);
}

QDate nthOccurrence(const RepeatRule& rule, qint64 n)
{
    switch (rule.unit) {
    case RepeatUnit::Days:
        return rule.start.addDays(n * rule.every);
    case RepeatUnit::Weeks:
        return rule.start.addDays(n * rule.every * 7);
    case RepeatUnit::Months:
    case RepeatUnit::Years:
        return monthlyOccurrence(rule, n);
    }
    return {};
}

} // namespace

QString whyInvalid(const RepeatRule& rule)
{
    if (rule.every < 1)
        return u"A rule repeats every 1 or more days, weeks, months or years."_s;
    if (!rule.start.isValid())
        return u"A rule needs a start date."_s;
    const bool monthly = rule.unit == RepeatUnit::Months || rule.unit == RepeatUnit::Years;
    if (monthly && (rule.dayOfMonth < RepeatRule::lastDayOfMonth || rule.dayOfMonth > 31))
        return u"The day of the month is 1 to 31, or the month's last day."_s;
    if (rule.end == RepeatEnd::OnDate && !rule.endDate.isValid())
        return u"A rule that ends on a date needs that date."_s;
    if (rule.end == RepeatEnd::AfterCount && rule.endCount < 1)
        return u"A rule that ends after a number of occurrences needs 1 or more."_s;
    return {};
}

namespace {

// Hands the rule's dates in order to `visit`, up to `last` and the rule's end, until it returns false.
template <class Visit> void forEachOccurrence(const RepeatRule& rule, QDate last, Visit&& visit)
{
    if (!whyInvalid(rule).isEmpty())
        return;
    if (rule.end == RepeatEnd::OnDate)
        last = std::min(last, rule.endDate);
    qint64 taken = 0;
    for (qint64 n = 0;; ++n) {
        if (rule.end == RepeatEnd::AfterCount && taken >= rule.endCount)
            return;
        const QDate date = nthOccurrence(rule, n);
        if (!date.isValid() || date > last)
            return;
        // A month's day may come before a start within that month.
        if (date < rule.start)
            continue;
        ++taken;
        if (!visit(date))
            return;
    }
}

} // namespace

std::vector<QDate> occurrencesUpTo(const RepeatRule& rule, QDate upTo)
{
    std::vector<QDate> dates;
    forEachOccurrence(rule, upTo, [&](QDate date) {
        dates.push_back(date);
        return true;
    });
    return dates;
}

std::vector<QDate> nextOccurrences(const RepeatRule& rule, QDate from, size_t count)
{
    std::vector<QDate> dates;
    if (count == 0)
        return dates;
    forEachOccurrence(rule, QDate(9999, 12, 31), [&](QDate date) {
        if (date >= from)
            dates.push_back(date);
        return dates.size() < count;
    });
    return dates;
}

std::vector<QDate> dueDates(const RepeatRule& rule, QDate today)
{
    if (rule.paused)
        return {};
    return occurrencesUpTo(rule, today);
}
