#include "repeating/ruletext.h"

#include <QLocale>

using namespace Qt::StringLiterals;

namespace {

QString ordinal(int n)
{
    const int tens = n % 100;
    const char* suffix = "th";
    if (tens < 11 || tens > 13) {
        switch (n % 10) {
        case 1:
            suffix = "st";
            break;
        case 2:
            suffix = "nd";
            break;
        case 3:
            suffix = "rd";
            break;
        }
    }
    return QString::number(n) + QLatin1StringView(suffix);
}

// "month" for 1, "3 months" for more.
QString every(int n, const QString& unit)
{
    return n == 1 ? unit : QString::number(n) + u' ' + unit + u's';
}

QString unitName(RepeatUnit unit)
{
    switch (unit) {
    case RepeatUnit::Days:
        return u"day"_s;
    case RepeatUnit::Weeks:
        return u"week"_s;
    case RepeatUnit::Months:
        return u"month"_s;
    case RepeatUnit::Years:
        return u"year"_s;
    }
    return {};
}

QString dayText(const RepeatRule& rule)
{
    const bool last = rule.dayOfMonth == RepeatRule::lastDayOfMonth;
    if (rule.unit == RepeatUnit::Months)
        return last ? u" on the last day of the month"_s : u" on the "_s + ordinal(rule.dayOfMonth);
    if (rule.unit == RepeatUnit::Years) {
        const QString month = QLocale::c().standaloneMonthName(rule.start.month());
        return last ? u" on the last day of "_s + month : u" on the "_s + ordinal(rule.dayOfMonth) + u" of "_s + month;
    }
    return {};
}

QString endText(const RepeatRule& rule)
{
    switch (rule.end) {
    case RepeatEnd::Never:
        return {};
    case RepeatEnd::OnDate:
        return u", until "_s + rule.endDate.toString(Qt::ISODate);
    case RepeatEnd::AfterCount:
        return rule.endCount == 1 ? u", once"_s : u", %1 times"_s.arg(rule.endCount);
    }
    return {};
}

} // namespace

QString describe(const RepeatRule& rule)
{
    return u"Every "_s + every(rule.every, unitName(rule.unit)) + dayText(rule) + endText(rule);
}
