// The dates of repeating entries on a simulated calendar, and how their rules read in the list.
#include "base/clock.h"
#include "repeating/repeatrule.h"
#include "repeating/ruletext.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QDate day(const char* iso)
{
    return QDate::fromString(QString::fromLatin1(iso), Qt::ISODate);
}

RepeatRule rule(RepeatUnit unit, int every, const char* start, int dayOfMonth = RepeatRule::lastDayOfMonth)
{
    RepeatRule r;
    r.unit = unit;
    r.every = every;
    r.start = day(start);
    r.dayOfMonth = dayOfMonth;
    return r;
}

RepeatRule endingOn(RepeatRule r, const char* last)
{
    r.end = RepeatEnd::OnDate;
    r.endDate = day(last);
    return r;
}

RepeatRule endingAfter(RepeatRule r, int count)
{
    r.end = RepeatEnd::AfterCount;
    r.endCount = count;
    return r;
}

QString isoDates(const std::vector<QDate>& dates)
{
    QStringList texts;
    for (QDate date : dates)
        texts.append(date.toString(Qt::ISODate));
    return texts.join(u' ');
}

struct DatesCase
{
    const char* name;
    RepeatRule rule;
    const char* upTo;
    const char* expected; // ISO dates, blank-separated
};

const DatesCase datesCases[] = {
    {"monthly on the 31st for 24 months falls on each shorter month's last day and comes back to the 31st",
     rule(RepeatUnit::Months, 1, "2023-01-31", 31), "2024-12-31",
     "2023-01-31 2023-02-28 2023-03-31 2023-04-30 2023-05-31 2023-06-30 2023-07-31 2023-08-31 2023-09-30 "
     "2023-10-31 2023-11-30 2023-12-31 2024-01-31 2024-02-29 2024-03-31 2024-04-30 2024-05-31 2024-06-30 "
     "2024-07-31 2024-08-31 2024-09-30 2024-10-31 2024-11-30 2024-12-31"},
    {"every 2 weeks across the year's end", rule(RepeatUnit::Weeks, 2, "2025-11-21"), "2026-02-01",
     "2025-11-21 2025-12-05 2025-12-19 2026-01-02 2026-01-16 2026-01-30"},
    {"every 2 weeks across the spring's change of clocks", rule(RepeatUnit::Weeks, 2, "2025-03-16"), "2025-04-13",
     "2025-03-16 2025-03-30 2025-04-13"},
    {"every 10 days across a leap day and a change of clocks", rule(RepeatUnit::Days, 10, "2024-02-20"), "2024-04-01",
     "2024-02-20 2024-03-01 2024-03-11 2024-03-21 2024-03-31"},
    {"yearly on 29 February falls on the 28th in other years", rule(RepeatUnit::Years, 1, "2024-02-29", 29),
     "2029-03-01", "2024-02-29 2025-02-28 2026-02-28 2027-02-28 2028-02-29 2029-02-28"},
    {"every 2 years on the last day of the month", rule(RepeatUnit::Years, 2, "2022-02-01"), "2028-12-31",
     "2022-02-28 2024-02-29 2026-02-28 2028-02-29"},
    {"every 3 months on the last day", rule(RepeatUnit::Months, 3, "2024-11-30"), "2025-08-31",
     "2024-11-30 2025-02-28 2025-05-31 2025-08-31"},
    {"a day of the month before the start waits for the next month", rule(RepeatUnit::Months, 1, "2025-01-20", 15),
     "2025-04-15", "2025-02-15 2025-03-15 2025-04-15"},
    {"ending after 10", endingAfter(rule(RepeatUnit::Days, 3, "2025-01-01"), 10), "2026-12-31",
     "2025-01-01 2025-01-04 2025-01-07 2025-01-10 2025-01-13 2025-01-16 2025-01-19 2025-01-22 2025-01-25 "
     "2025-01-28"},
    {"ending after a count counts only the occurrences from the start",
     endingAfter(rule(RepeatUnit::Months, 1, "2025-01-20", 10), 2), "2026-12-31", "2025-02-10 2025-03-10"},
    {"ending on a date includes that date", endingOn(rule(RepeatUnit::Weeks, 1, "2025-03-03"), "2025-03-24"),
     "2025-12-31", "2025-03-03 2025-03-10 2025-03-17 2025-03-24"},
    {"nothing before the start", rule(RepeatUnit::Days, 1, "2025-06-01"), "2025-05-31", ""},
    {"every 0 is no rule", rule(RepeatUnit::Days, 0, "2025-06-01"), "2025-06-30", ""},
    {"a 32nd day is no rule", rule(RepeatUnit::Months, 1, "2025-06-01", 32), "2025-12-31", ""},
    {"no start is no rule", rule(RepeatUnit::Weeks, 1, ""), "2025-12-31", ""},
};

class RepeatDates : public testing::TestWithParam<DatesCase>
{
};

TEST_P(RepeatDates, AreTheCalendarsDates)
{
    const DatesCase& c = GetParam();
    EXPECT_EQ(isoDates(occurrencesUpTo(c.rule, day(c.upTo))), QString::fromLatin1(c.expected));
    EXPECT_EQ(whyInvalid(c.rule).isEmpty(), !QByteArray(c.name).endsWith("no rule"));
}

INSTANTIATE_TEST_SUITE_P(Rules, RepeatDates, testing::ValuesIn(datesCases));

TEST(RepeatDates, TenYearsOfAMonthlyRuleAreExactly120Dates)
{
    for (int dayOfMonth : {1, 29, 31, RepeatRule::lastDayOfMonth}) {
        const std::vector<QDate> dates =
            occurrencesUpTo(rule(RepeatUnit::Months, 1, "2015-01-01", dayOfMonth), day("2024-12-31"));
        ASSERT_EQ(dates.size(), 120u) << dayOfMonth;
        EXPECT_TRUE(std::is_sorted(dates.begin(), dates.end()));
        EXPECT_EQ(dates.back().month(), 12);
    }
}

TEST(RepeatDates, TheNextDatesLieAheadHoweverFar)
{
    const struct
    {
        RepeatRule rule;
        const char* from;
        const char* expected;
    } cases[] = {
        {rule(RepeatUnit::Months, 1, "2023-01-31", 31), "2024-02-10", "2024-02-29 2024-03-31 2024-04-30"},
        {rule(RepeatUnit::Years, 5, "2040-06-01", 1), "2026-12-08", "2040-06-01 2045-06-01 2050-06-01"},
        {endingAfter(rule(RepeatUnit::Weeks, 1, "2025-01-01"), 2), "2025-01-02", "2025-01-08"},
        {endingOn(rule(RepeatUnit::Days, 1, "2025-01-01"), "2025-01-10"), "2025-01-11", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isoDates(nextOccurrences(c.rule, day(c.from), 3)), QString::fromLatin1(c.expected)) << c.from;
}

TEST(RepeatDates, APausedRuleHasNothingDueUntilItResumes)
{
    const ScopedToday calendar(day("2025-04-10"));
    RepeatRule weekly = rule(RepeatUnit::Weeks, 1, "2025-03-01");
    weekly.paused = true;
    EXPECT_TRUE(dueDates(weekly, today()).empty());
    weekly.paused = false;
    EXPECT_EQ(isoDates(dueDates(weekly, today())),
              u"2025-03-01 2025-03-08 2025-03-15 2025-03-22 2025-03-29 2025-04-05");
}

TEST(RuleText, SaysHowOftenOnWhichDayAndUntilWhen)
{
    const struct
    {
        RepeatRule rule;
        const char* text;
    } cases[] = {
        {rule(RepeatUnit::Months, 1, "2025-01-31", 31), "Every month on the 31st"},
        {rule(RepeatUnit::Months, 1, "2025-01-02", 2), "Every month on the 2nd"},
        {rule(RepeatUnit::Months, 2, "2025-01-03", 3), "Every 2 months on the 3rd"},
        {rule(RepeatUnit::Months, 1, "2025-01-11", 11), "Every month on the 11th"},
        {rule(RepeatUnit::Months, 1, "2025-01-12", 12), "Every month on the 12th"},
        {rule(RepeatUnit::Months, 1, "2025-01-21", 21), "Every month on the 21st"},
        {rule(RepeatUnit::Months, 1, "2025-01-01"), "Every month on the last day of the month"},
        {rule(RepeatUnit::Weeks, 2, "2025-01-01"), "Every 2 weeks"},
        {rule(RepeatUnit::Days, 1, "2025-01-01"), "Every day"},
        {rule(RepeatUnit::Years, 1, "2024-02-29", 29), "Every year on the 29th of February"},
        {rule(RepeatUnit::Years, 1, "2024-12-01"), "Every year on the last day of December"},
        {endingAfter(rule(RepeatUnit::Weeks, 1, "2025-01-01"), 10), "Every week, 10 times"},
        {endingAfter(rule(RepeatUnit::Weeks, 1, "2025-01-01"), 1), "Every week, once"},
        {endingOn(rule(RepeatUnit::Days, 3, "2025-01-01"), "2025-06-30"), "Every 3 days, until 2025-06-30"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(describe(c.rule), QString::fromLatin1(c.text));
}

} // namespace
