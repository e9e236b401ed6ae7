#include "importing/importvalues.h"

#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace {

struct MonthName
{
    QStringView name;
    int month;
};

// English and German, written out and abbreviated.
constexpr MonthName monthNames[] = {
    {u"jan", 1},      {u"january", 1}, {u"januar", 1},    {u"jän", 1},  {u"feb", 2},       {u"february", 2},
    {u"februar", 2},  {u"mar", 3},     {u"march", 3},     {u"mär", 3},  {u"mrz", 3},       {u"märz", 3},
    {u"apr", 4},      {u"april", 4},   {u"may", 5},       {u"mai", 5},  {u"jun", 6},       {u"june", 6},
    {u"juni", 6},     {u"jul", 7},     {u"july", 7},      {u"juli", 7}, {u"aug", 8},       {u"august", 8},
    {u"sep", 9},      {u"sept", 9},    {u"september", 9}, {u"oct", 10}, {u"october", 10},  {u"okt", 10},
    {u"oktober", 10}, {u"nov", 11},    {u"november", 11}, {u"dec", 12}, {u"december", 12}, {u"dez", 12},
    {u"dezember", 12}};

std::optional<int> monthOfName(QStringView word)
{
    for (const MonthName& month : monthNames) {
        if (word.compare(month.name, Qt::CaseInsensitive) == 0)
            return month.month;
    }
    return std::nullopt;
}

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// A date's three words (runs of digits or letters) and the separators between them.
struct DateWords
{
    std::array<QStringView, 3> words;
    std::array<QStringView, 2> separators;
    bool allDigits = true;
};

// What may follow a date: nothing, or a time such as " 14:30" or "T14:30:00Z".
bool isTimeOrNothing(QStringView rest)
{
    if (rest.isEmpty())
        return true;
    if (rest.front() != u'T' && rest.front() != u' ')
        return false;
    const QStringView time = rest.sliced(1).trimmed();
    return !time.isEmpty() && isAsciiDigit(time.front()) && time.contains(u':');
}

std::optional<DateWords> splitDate(QStringView text)
{
    DateWords split;
    qsizetype pos = 0;
    for (int i = 0; i < 3; ++i) {
        // No separator is needed where digits meet letters, as in "12MAR2024".
        const qsizetype separatorStart = pos;
        while (i > 0 && pos < text.size() && QStringView(u" .,/-").contains(text[pos]))
            ++pos;
        if (i > 0)
            split.separators[i - 1] = text.sliced(separatorStart, pos - separatorStart);
        const qsizetype wordStart = pos;
        const bool digits = pos < text.size() && isAsciiDigit(text[pos]);
        while (pos < text.size() && (digits ? isAsciiDigit(text[pos]) : text[pos].isLetter()))
            ++pos;
        if (pos == wordStart)
            return std::nullopt;
        split.words[i] = text.sliced(wordStart, pos - wordStart);
        split.allDigits = split.allDigits && digits;
    }
    if (!isTimeOrNothing(text.sliced(pos)))
        return std::nullopt;
    return split;
}

int yearOf(QStringView digits)
{
    const int year = digits.toInt();
    if (digits.size() != 2)
        return year;
    return year < 70 ? 2000 + year : 1900 + year;
}

std::optional<QDate> dateOf(QStringView year, int month, QStringView day)
{
    if ((year.size() != 2 && year.size() != 4) || day.size() > 2)
        return std::nullopt;
    const QDate date(yearOf(year), month, day.toInt());
    return date.isValid() ? std::optional(date) : std::nullopt;
}

std::optional<QDate> numericDate(const DateWords& split, DateOrder order)
{
    const auto& [first, second, third] = split.words;
    // One separator, used twice: "1.2-2024" is no date.
    if (split.separators[0].size() != 1 || split.separators[0] != split.separators[1] || split.separators[0] == u"," ||
        split.separators[0] == u" ")
        return std::nullopt;
    if (first.size() == 4)
        return second.size() <= 2 ? dateOf(first, second.toInt(), third) : std::nullopt;
    if (first.size() > 2 || second.size() > 2)
        return std::nullopt;
    switch (order) {
    case DateOrder::DMY:
        return dateOf(third, second.toInt(), first);
    case DateOrder::MDY:
        return dateOf(third, first.toInt(), second);
    case DateOrder::YMD:
        break;
    }
    return std::nullopt;
}

// "12 Mar 2024", "12. März 2024", "12-Mar-24" and "Mar 12, 2024".
std::optional<QDate> namedMonthDate(const DateWords& split)
{
    const auto& [first, second, third] = split.words;
    const bool monthFirst = !isAsciiDigit(first.front());
    if (!monthFirst && isAsciiDigit(second.front()))
        return std::nullopt;
    const QStringView name = monthFirst ? first : second;
    const QStringView day = monthFirst ? second : first;
    if (!isAsciiDigit(day.front()) || !isAsciiDigit(third.front()))
        return std::nullopt;
    const auto month = monthOfName(name);
    return month ? dateOf(third, *month, day) : std::nullopt;
}

} // namespace

std::optional<QDate> parseImportDate(QStringView text, DateOrder order)
{
    text = text.trimmed();
    if (text.size() == 8 && std::all_of(text.begin(), text.end(), isAsciiDigit)) {
        const QDate date(text.first(4).toInt(), text.sliced(4, 2).toInt(), text.sliced(6).toInt());
        return date.isValid() ? std::optional(date) : std::nullopt;
    }
    const auto split = splitDate(text);
    if (!split)
        return std::nullopt;
    return split->allDigits ? numericDate(*split, order) : namedMonthDate(*split);
}

bool isImportDate(QStringView text)
{
    // A year first reads in either order, and month names in any.
    return parseImportDate(text, DateOrder::DMY) || parseImportDate(text, DateOrder::MDY);
}
