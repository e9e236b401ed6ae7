// currencySymbolFromText on any currency text: never crashes, and what it leaves is a symbol without
// the number's zeros and separators, a full stop kept only at its end. DefaultCurrencySymbol is tried
// in every locale Qt knows.
#include "fuzzinput.h"
#include "money/moneyformat.h"

using namespace Qt::StringLiterals;

namespace {

void checkSymbol(const QString& symbol, const QString& from)
{
    fuzzCheck(!symbol.contains(u'0') && !symbol.contains(u','), "a digit or separator stayed in the symbol",
              from + u" -> "_s + symbol);
    const qsizetype dot = symbol.indexOf(u'.');
    fuzzCheck(dot < 0 || dot == symbol.size() - 1, "a full stop inside the symbol", from + u" -> "_s + symbol);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const QList<QLocale> locales =
        QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
    FuzzedDataProvider input(data, size);
    const QLocale locale = locales[input.ConsumeIntegralInRange<qsizetype>(0, locales.size() - 1)];
    QLocale::setDefault(locale);
    checkSymbol(DefaultCurrencySymbol(), locale.name() + u' ' + locale.toCurrencyString(0.0));

    const QString text = input.ConsumeBool() ? takeRawText(input) : takeText(input);
    checkSymbol(currencySymbolFromText(text), text);
    return 0;
}
