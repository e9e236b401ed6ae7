#include "money/numberparser.h"

#include "money/blanks.h"

#include <charconv>
#include <cmath>

namespace {

// A locale's signs and separators, looked up once per locale: asking the system's locale for them
// costs more than reading the number, and the engine's CDbl reads one number per staged row.
struct NumberSymbols
{
    QString minus, plus, decimal, group;
    bool asciiDigits = true; // the locale writes 0 to 9 as ASCII digits
};

const NumberSymbols& symbolsOf(const QLocale& locale)
{
    thread_local QLocale cached(QLocale::c());
    thread_local NumberSymbols symbols;
    thread_local bool known = false;
    if (!known || cached != locale) {
        cached = locale;
        symbols = {locale.negativeSign(), locale.positiveSign(), locale.decimalPoint(), locale.groupSeparator(),
                   locale.zeroDigit() == u"0"};
        known = true;
    }
    return symbols;
}

// Plain ASCII digits with at most one decimal separator between digits, as amountText writes them:
// read directly. Both this and the locale's reader round correctly, so they give the same double.
std::optional<double> plainDigits(QStringView digits, const QString& decimal)
{
    if (decimal.size() != 1 || digits.size() > 64)
        return std::nullopt;
    char ascii[64];
    qsizetype separators = 0;
    for (qsizetype i = 0; i < digits.size(); ++i) {
        const char16_t c = digits[i].unicode();
        if (c >= u'0' && c <= u'9') {
            ascii[i] = char(c);
        } else if (c == decimal[0].unicode() && i > 0 && i + 1 < digits.size() && ++separators == 1) {
            ascii[i] = '.';
        } else {
            return std::nullopt;
        }
    }
    double value = 0;
    const auto [end, error] = std::from_chars(ascii, ascii + digits.size(), value);
    if (error != std::errc() || end != ascii + digits.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

std::optional<double> parseNumber(QStringView text, const QLocale& locale)
{
    const QStringView trimmed = trimBlanks(text);
    if (trimmed.isEmpty() || trimmed.contains(u'\''))
        return std::nullopt;

    const NumberSymbols& symbols = symbolsOf(locale);
    // Take the sign off first: some locales write a minus that their own reader refuses (ar_EG's "؜-").
    QStringView digits = trimmed;
    bool negative = false;
    if (const QString& minus = symbols.minus; !minus.isEmpty() && digits.startsWith(minus)) {
        negative = true;
        digits = digits.mid(minus.size());
    } else if (digits.startsWith(u'-')) {
        negative = true;
        digits = digits.mid(1);
    } else if (const QString& plus = symbols.plus; !plus.isEmpty() && digits.startsWith(plus)) {
        digits = digits.mid(plus.size());
    } else if (digits.startsWith(u'+')) {
        digits = digits.mid(1);
    }
    if (digits.isEmpty() || !(digits.front().isDigit() || digits.startsWith(symbols.decimal)))
        return std::nullopt;
    if (const auto plain = plainDigits(digits, symbols.decimal))
        return negative ? -*plain : *plain;

    QString normalised = digits.toString();
    // Where the group separator is a no-break space, accept the plain space people type for it.
    const QString& group = symbols.group;
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
    // The shortest digits that read back as the same double, put in the locale's signs. The
    // locale's own writer gives the same digits, but asks the system for its symbols every time.
    const NumberSymbols& symbols = symbolsOf(locale);
    if (symbols.asciiDigits && symbols.decimal.size() == 1 && std::isfinite(value)) {
        char digits[400];
        const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed);
        if (error == std::errc()) {
            QString text;
            text.reserve(end - digits + 2);
            for (const char* c = digits; c < end; ++c) {
                if (*c == '-')
                    text += symbols.minus;
                else if (*c == '.')
                    text += symbols.decimal;
                else
                    text += QLatin1Char(*c);
            }
            return text;
        }
    }
    QLocale plain = locale;
    plain.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    // Plain digits: some locales write exponents in a form they cannot read back (1×10^+21).
    return plain.toString(value, 'f', QLocale::FloatingPointShortest);
}
