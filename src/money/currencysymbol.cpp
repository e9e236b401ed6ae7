#include "money/moneyformat.h"

#include "money/blanks.h"

using namespace Qt::StringLiterals;

namespace {

// The currency text of zero with ASCII zeros and a "." for a decimal separator that is neither
// "." nor ",", so the symbol rule also finds the number in locales with digits of their own.
QString regionalZeroText(const QLocale& locale)
{
    QString text = locale.toCurrencyString(0.0);
    text.replace(locale.zeroDigit(), u"0"_s);
    const QString point = locale.decimalPoint();
    if (point != u"." && point != u",")
        text.replace(point, u"."_s);
    return text;
}

} // namespace

QString currencySymbolFromText(const QString& zeroText)
{
    // A symbol after the number that ends in a full stop.
    bool trailingDot = zeroText.endsWith(u'.');
    // A symbol before the number ("kr. 0,00"): at least two characters precede the first zero.
    const qsizetype firstZero = zeroText.indexOf(u'0');
    if (firstZero > 1 && trimBlanks(QStringView(zeroText).first(firstZero)).endsWith(u'.'))
        trailingDot = true;

    // The decimal separator goes with the full stops; the flag gives the symbol its last one back.
    QString symbol = zeroText;
    symbol.remove(u'0').remove(u',').remove(u'.');
    symbol = trimBlanks(symbol).toString();
    if (trailingDot)
        symbol += u'.';
    return symbol;
}

QString DefaultCurrencySymbol()
{
    return currencySymbolFromText(regionalZeroText(QLocale()));
}
