#include "money/moneyformat.h"

#include "base/failure.h"
#include "money/moneypattern.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// Written only by BuildMoneyFormat; every formatter reads it afresh.
QString& currentMoneyFormat()
{
    static QString format;
    return format;
}

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

int currencyBeforeValue(const QString& stored)
{
    const QString trimmed = stored.trimmed();
    bool ok = !trimmed.isEmpty() && std::all_of(trimmed.begin(), trimmed.end(), isAsciiDigit);
    const int value = ok ? trimmed.toInt(&ok) : 0;
    if (!ok || value > 255)
        throw Failure(
            u"The setting \"CurrencyBefore\" holds \"%1\", which is not a whole number from 0 to 255."_s.arg(stored));
    return value;
}

void BuildMoneyFormat(const QString& storedSymbol, const QString& storedBefore)
{
    QString symbol = storedSymbol;
    if (symbol.isEmpty())
        symbol = DefaultCurrencySymbol();
    // Escaped so that the pattern shows the full stop rather than reading a decimal point.
    symbol.replace(u"."_s, u"\\."_s);
    const bool before = currencyBeforeValue(storedBefore) == 1;
    currentMoneyFormat() = before ? symbol + symbolBeforePattern : symbolAfterPattern + symbol;
}

const QString& moneyFormat()
{
    return currentMoneyFormat();
}

QString FormatMoney(double value)
{
    return formatWithPattern(value, moneyFormat());
}
