#include "money/moneypattern.h"

using namespace Qt::StringLiterals;

namespace {

bool isPlaceholder(QChar c)
{
    return c == u'0' || c == u'#';
}

MoneyPattern parseCodes(const QString& pattern)
{
    enum class Part { Prefix, Integer, Fraction, Suffix };
    MoneyPattern result;
    NumberLayout& number = result.number;
    Part part = Part::Prefix;
    bool zeroSeen = false;

    const auto addLiteral = [&](QChar c) {
        if (part == Part::Prefix) {
            result.prefix += c;
        } else {
            part = Part::Suffix;
            result.suffix += c;
        }
    };

    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        const bool inInteger = part == Part::Prefix || part == Part::Integer;
        if (c == u'\\') {
            addLiteral(i + 1 < pattern.size() ? pattern[++i] : c);
        } else if (inInteger && isPlaceholder(c)) {
            part = Part::Integer;
            zeroSeen = zeroSeen || c == u'0';
            if (zeroSeen)
                ++number.minIntegerDigits;
        } else if (part == Part::Integer && c == u',' && i + 1 < pattern.size() && isPlaceholder(pattern[i + 1])) {
            number.grouped = true;
        } else if (inInteger && c == u'.') {
            part = Part::Fraction;
            number.hasPoint = true;
        } else if (part == Part::Fraction && isPlaceholder(c)) {
            ++number.maxDecimals;
            if (c == u'0')
                number.minDecimals = number.maxDecimals;
        } else {
            addLiteral(c);
        }
    }
    number.shown = part != Part::Prefix;
    return result;
}

// The symbol of a money format as the user stored it: the format escapes only its full stops.
QString storedSymbol(QStringView escaped)
{
    return escaped.toString().replace(u"\\."_s, u"."_s);
}

} // namespace

MoneyPattern parseMoneyPattern(const QString& pattern)
{
    if (pattern.endsWith(symbolBeforePattern)) {
        MoneyPattern result = parseCodes(symbolBeforePattern);
        result.prefix.prepend(storedSymbol(QStringView(pattern).chopped(symbolBeforePattern.size())));
        return result;
    }
    if (pattern.startsWith(symbolAfterPattern)) {
        MoneyPattern result = parseCodes(symbolAfterPattern);
        result.suffix += storedSymbol(QStringView(pattern).mid(symbolAfterPattern.size()));
        return result;
    }
    return parseCodes(pattern);
}
