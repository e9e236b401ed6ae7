// formatWithPattern with any finite value and any pattern never throws; and a money format built by
// BuildMoneyFormat from any stored symbol shows that symbol exactly, before or after the number.
#include "fuzzinput.h"
#include "money/moneyformat.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

void checkPattern(double value, const QString& pattern, const QLocale& locale)
{
    try {
        formatWithPattern(value, pattern, locale);
    } catch (...) {
        fuzzFailure("formatWithPattern threw", pattern);
    }
}

void checkSymbol(double value, const QString& symbol, bool before)
{
    BuildMoneyFormat(symbol, before ? u"1"_s : u"0"_s);
    const QString text = FormatMoney(value);
    // A negative amount puts "-" before the symbol.
    const bool shown = before ? text.startsWith(symbol) || (text.startsWith(u'-') && text.mid(1).startsWith(symbol))
                              : text.endsWith(symbol);
    fuzzCheck(shown, "the money format does not show its symbol as stored",
              symbol + u" | "_s + moneyFormat() + u" | "_s + text);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const double value = input.ConsumeFloatingPoint<double>();
    if (!std::isfinite(value))
        return 0;
    if (input.ConsumeBool()) {
        const bool before = input.ConsumeBool();
        const QString symbol = takeText(input, 64);
        // An empty symbol means the regional one, which the currency-text target covers.
        if (!symbol.isEmpty())
            checkSymbol(value, symbol, before);
    } else {
        const QLocale locale = takeLocale(input);
        checkPattern(value, takeText(input, 512), locale);
    }
    return 0;
}
