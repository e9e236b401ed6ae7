// parseNumber on any text in a few locales: whatever it accepts is a finite number that amountText
// writes so it reads back as the same double; and every finite double survives amountText and back.
#include "fuzzinput.h"
#include "money/numberparser.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

void checkRoundTrip(double value, const QLocale& locale)
{
    const QString text = amountText(value, locale);
    const auto back = parseNumber(text, locale);
    const QString detail = locale.name() + u' ' + QString::number(value, 'g', 17) + u" -> "_s + text + u" -> "_s +
                           (back ? QString::number(*back, 'g', 17) : u"refused"_s);
    fuzzCheck(back.has_value(), "amountText wrote a text parseNumber refuses", detail);
    // -0 may come back as 0: the same amount.
    fuzzCheck(*back == value, "amountText does not read back as the same number", detail);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const QLocale locale = takeLocale(input);
    const double value = input.ConsumeFloatingPoint<double>();
    if (std::isfinite(value))
        checkRoundTrip(value, locale);

    const QString text = input.ConsumeBool() ? takeRawText(input) : takeText(input);
    if (const auto parsed = parseNumber(text, locale)) {
        fuzzCheck(std::isfinite(*parsed), "parseNumber accepted a value that is not finite", text);
        checkRoundTrip(*parsed, locale);
    }
    return 0;
}
