#include "money/numberparser.h"

#include "money/blanks.h"

#include <cmath>

std::optional<double> parseNumber(QStringView text, const QLocale& locale)
{
    const QStringView trimmed = trimBlanks(text);
    if (trimmed.isEmpty() || trimmed.contains(u'\''))
        return std::nullopt;

    // Take the sign off first: some locales write a minus that their own reader refuses (ar_EG's "؜-").
    QStringView digits = trimmed;
    bool negative = false;
    if (const QString minus = locale.negativeSign(); !minus.isEmpty() && digits.startsWith(minus)) {
        negative = true;
        digits = digits.mid(minus.size());
    } else if (digits.startsWith(u'-')) {
        negative = true;
        digits = digits.mid(1);
    } else if (const QString plus = locale.positiveSign(); !plus.isEmpty() && digits.startsWith(plus)) {
        digits = digits.mid(plus.size());
    } else if (digits.startsWith(u'+')) {
        digits = digits.mid(1);
    }
    if (digits.isEmpty() || !(digits.front().isDigit() || digits.startsWith(locale.decimalPoint())))
        return std::nullopt;

    QString normalised = digits.toString();
    // Where the group separator is a no-break space, accept the plain space people type for it.
    const QString group = locale.groupSeparator();
    if (group.size() == 1 && (group[0] == QChar(0x00A0) || group[0] == QChar(0x202F)))
        normalised.replace(u' ', group[0]);

    bool ok = false;
    const double value = locale.toDouble(normalised, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return negative ? -value : value;
}

QString amountText(double value, const QLocale& locale)
{
    QLocale plain = locale;
    plain.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    // Plain digits: some locales write exponents in a form they cannot read back (1×10^+21).
    return plain.toString(value, 'f', QLocale::FloatingPointShortest);
}
