#include "money/decimaldigits.h"
#include "money/moneyformat.h"
#include "money/moneypattern.h"

#include <cmath>

namespace {

// The shortest decimal text that reads back as the value, in the locale's decimal separator,
// without grouping: what an amount shows before any money format exists.
QString generalForm(double value, const QLocale& locale)
{
    QString text = QString::number(std::fabs(value), 'g', QLocale::FloatingPointShortest);
    text.replace(u'.', locale.decimalPoint());
    text.replace(u'e', u'E');
    if (value < 0)
        text.prepend(u'-');
    return text;
}

QString groupedInThrees(const QString& digits, const QString& separator)
{
    QString text;
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            text += separator;
        text += digits[i];
    }
    return text;
}

QString numberText(const DecimalDigits& digits, const NumberLayout& layout, const QLocale& locale)
{
    QString integer = digits.integer;
    if (integer.size() < layout.minIntegerDigits)
        integer.prepend(QString(layout.minIntegerDigits - integer.size(), u'0'));
    if (layout.grouped)
        integer = groupedInThrees(integer, locale.groupSeparator());
    if (!layout.hasPoint)
        return integer;

    QString fraction = digits.fraction;
    while (fraction.size() > layout.minDecimals && fraction.endsWith(u'0'))
        fraction.chop(1);
    return integer + locale.decimalPoint() + fraction;
}

} // namespace

QString formatWithPattern(double value, const QString& pattern, const QLocale& locale)
{
    if (!std::isfinite(value))
        return QString::number(value);
    if (pattern.isEmpty())
        return generalForm(value, locale);

    const MoneyPattern parsed = parseMoneyPattern(pattern);
    const DecimalDigits digits = roundedDigits(std::fabs(value), parsed.number.maxDecimals);
    // A value that rounds to nothing shows no sign: a balance of -0.001 is not "-$ 0.00".
    QString text;
    if (value < 0 && !digits.isZero())
        text += u'-';
    text += parsed.prefix;
    if (parsed.number.shown)
        text += numberText(digits, parsed.number, locale);
    return text + parsed.suffix;
}
