#include "importing/importvalues.h"

#include <QLocale>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace {

// Beyond any ledger's amounts, and still exact to the cent.
constexpr double largestAmount = 1e15;

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

char16_t decimalChar(DecimalMark mark)
{
    return mark == DecimalMark::Point ? u'.' : u',';
}

// Characters that group the digits: the other mark, apostrophes (Swiss) and blanks.
bool isGroupSeparator(QChar c, DecimalMark mark)
{
    const char16_t other = mark == DecimalMark::Point ? u',' : u'.';
    return c == other || c == u'\'' || c == u'\u2019' || c.isSpace();
}

// The span from the first digit to the last, with a decimal mark just before it as in ".50".
struct NumberSpan
{
    qsizetype first = -1;
    qsizetype last = -1;
};

NumberSpan numberSpan(QStringView text, DecimalMark mark)
{
    NumberSpan span;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (isAsciiDigit(text[i])) {
            if (span.first < 0)
                span.first = i;
            span.last = i;
        }
    }
    // "kr.5" is a symbol and a number; "$.5" and "-.5" are half units.
    if (span.first > 0 && text[span.first - 1] == decimalChar(mark) &&
        (span.first == 1 || !text[span.first - 2].isLetter()))
        --span.first;
    return span;
}

// The sign that the text around a number gives it: +1, -1, or 0 when that text is more than blanks,
// a currency and one sign.
int signAround(QStringView before, QStringView after)
{
    int signs = 0;
    bool negative = false;
    bool opened = false;
    const auto read = [&](QStringView side, bool isBefore) {
        for (qsizetype i = 0; i < side.size(); ++i) {
            const QChar c = side[i];
            if (c == u'-' || c == u'\u2212') {
                ++signs;
                negative = true;
            } else if (c == u'+') {
                ++signs;
            } else if (c == u'(' && isBefore) {
                ++signs;
                opened = negative = true;
            } else if (c == u')' && !isBefore) {
                if (!opened)
                    return false;
                opened = false;
            } else if (c == u'.') {
                // Only within a symbol such as "kr." or "Fr.".
                if (i == 0 || !side[i - 1].isLetter())
                    return false;
            } else if (!c.isSpace() && !c.isLetter() && !c.isSymbol()) {
                return false;
            }
        }
        return true;
    };
    if (!read(before, true) || !read(after, false) || opened || signs > 1)
        return 0;
    return negative ? -1 : 1;
}

// The digits and the decimal mark as "1234.56", or nothing when the digits are grouped other than in
// threes (before the last three, the Indian lakh grouping of twos is allowed).
std::optional<std::string> plainNumber(QStringView span, DecimalMark mark)
{
    std::string plain;
    plain.reserve(size_t(span.size()) + 1);
    int run = 0; // digits since the start or the last group separator
    int groups = 0;
    bool pointSeen = false;
    const auto integerEnds = [&] { return groups == 0 || run == 3; };
    for (const QChar c : span) {
        if (isAsciiDigit(c)) {
            plain += char(c.unicode());
            ++run;
        } else if (c == decimalChar(mark) && !pointSeen) {
            if (!integerEnds())
                return std::nullopt;
            pointSeen = true;
            plain += '.';
        } else if (isGroupSeparator(c, mark) && !pointSeen) {
            if (run < (groups == 0 ? 1 : 2) || run > 3)
                return std::nullopt;
            ++groups;
            run = 0;
        } else {
            return std::nullopt;
        }
    }
    if (!pointSeen && !integerEnds())
        return std::nullopt;
    if (plain.front() == '.')
        plain.insert(plain.begin(), '0');
    return plain;
}

} // namespace

std::optional<double> parseImportAmount(QStringView text, DecimalMark mark)
{
    const NumberSpan span = numberSpan(text, mark);
    if (span.first < 0)
        return std::nullopt;
    const int sign = signAround(text.first(span.first), text.sliced(span.last + 1));
    const auto plain = plainNumber(text.sliced(span.first, span.last - span.first + 1), mark);
    if (sign == 0 || !plain)
        return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(plain->data(), plain->data() + plain->size(), value);
    if (error != std::errc() || end != plain->data() + plain->size() || !std::isfinite(value) ||
        std::abs(value) > largestAmount)
        return std::nullopt;
    return sign * value;
}

bool isImportAmount(QStringView text)
{
    return parseImportAmount(text, DecimalMark::Point) || parseImportAmount(text, DecimalMark::Comma);
}

Guess<DecimalMark> guessDecimalMark(const QList<QString>& samples)
{
    int points = 0;
    int commas = 0;
    for (const QString& sample : samples) {
        const NumberSpan span = numberSpan(sample, DecimalMark::Point);
        if (span.first < 0)
            continue;
        const QStringView number = QStringView(sample).sliced(span.first, span.last - span.first + 1);
        const qsizetype lastPoint = number.lastIndexOf(u'.');
        const qsizetype lastComma = number.lastIndexOf(u',');
        if (lastPoint >= 0 && lastComma >= 0) {
            // Both: the later one is the decimal mark.
            ++(lastPoint > lastComma ? points : commas);
            continue;
        }
        const qsizetype last = std::max(lastPoint, lastComma);
        if (last < 0)
            continue;
        const QChar mark = number[last];
        const qsizetype decimals = number.size() - last - 1;
        const bool isPoint = mark == u'.';
        // Twice is grouping, three digits after it either; fewer or more digits make it the mark.
        if (number.count(mark) > 1)
            ++(isPoint ? commas : points);
        else if (decimals != 3)
            ++(isPoint ? points : commas);
    }
    if (points != commas)
        return {points > commas ? DecimalMark::Point : DecimalMark::Comma, GuessBasis::Evidence};
    const bool eitherWay = std::any_of(samples.begin(), samples.end(), [](const QString& sample) {
        return parseImportAmount(sample, DecimalMark::Point) != parseImportAmount(sample, DecimalMark::Comma);
    });
    return {QLocale().decimalPoint() == u"," ? DecimalMark::Comma : DecimalMark::Point,
            eitherWay ? GuessBasis::Open : GuessBasis::Indifferent};
}
