#include "money/moneyformat.h"

using namespace Qt::StringLiterals;

namespace {

// Regional texts put a no-break space between number and symbol; it counts as a space here.
bool isSpace(QChar c)
{
    return c == u' ' || c == QChar(0x00A0) || c == QChar(0x202F);
}

QStringView trimSpaces(QStringView text)
{
    while (!text.isEmpty() && isSpace(text.front()))
        text = text.mid(1);
    while (!text.isEmpty() && isSpace(text.back()))
        text.chop(1);
    return text;
}

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
    if (firstZero > 1 && trimSpaces(QStringView(zeroText).first(firstZero)).endsWith(u'.'))
        trailingDot = true;

    // The decimal separator goes with the full stops; the flag gives the symbol its last one back.
    QString symbol = zeroText;
    symbol.remove(u'0').remove(u',').remove(u'.');
    symbol = trimSpaces(symbol).toString();
    if (trailingDot)
        symbol += u'.';
    return symbol;
}

QString DefaultCurrencySymbol()
{
    return currencySymbolFromText(regionalZeroText(QLocale()));
}
