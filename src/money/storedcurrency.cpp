#include "money/storedcurrency.h"

#include "money/moneyformat.h"
#include "settings/settings.h"

using namespace Qt::StringLiterals;

QString storedCurrencySymbol()
{
    return GetSetting(u"CurrencySymbol"_s, QString());
}

QString storedCurrencyBefore()
{
    return GetSetting(u"CurrencyBefore"_s, u"1"_s);
}

void buildStoredMoneyFormat()
{
    BuildMoneyFormat(storedCurrencySymbol(), storedCurrencyBefore());
}
