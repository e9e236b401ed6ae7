// The money display: the regional default symbol, the money format built from the settings, and
// amounts rendered with it.
#include "base/failure.h"
#include "money/moneyformat.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

const QChar noBreakSpace(0x00A0);
const QChar narrowNoBreakSpace(0x202F);

void useLocale(const QString& name)
{
    QLocale::setDefault(QLocale(name));
}

void buildWith(const QString& symbol, const QString& before)
{
    BuildMoneyFormat(symbol, before);
}

} // namespace

TEST(CurrencySymbolFromText, KeepsTheSymbolAndOneFinalFullStop)
{
    const struct
    {
        QString text, symbol;
    } cases[] = {
        {u"$0.00"_s, u"$"_s},
        {u"0,00 €"_s, u"€"_s},
        {u"0,00"_s + noBreakSpace + u"€"_s, u"€"_s},
        {u"0,00"_s + narrowNoBreakSpace + u"€"_s, u"€"_s},
        {u"kr. 0,00"_s, u"kr."_s},
        {u"kr."_s + noBreakSpace + u"0,00"_s, u"kr."_s},
        {u"0,00 kr."_s, u"kr."_s},
        {u"¥0"_s, u"¥"_s},
        {u"R.D.$ 0.00"_s, u"RD$"_s}, // inner full stops go, only a final one comes back
        {u".0"_s, u""_s},            // one character before the first zero is not examined
        {u"0.00"_s, u""_s},
        {u"Fr."_s, u"Fr."_s},
    };
    for (const auto& c : cases)
        EXPECT_EQ(currencySymbolFromText(c.text), c.symbol) << c.text.toStdString();
}

TEST(DefaultCurrencySymbol, FollowsTheDefaultLocale)
{
    const struct
    {
        QString locale, symbol;
    } cases[] = {
        {u"en_US"_s, u"$"_s},      {u"de_DE"_s, u"€"_s},      {u"fr_FR"_s, u"€"_s}, {u"da_DK"_s, u"kr."_s}, // 0,00 kr.
        {u"kl_GL"_s, u"kr."_s},                                                                             // kr.0,00
        {u"nb_NO"_s, u"kr"_s},                                                                              // kr 0,00
        {u"sv_SE"_s, u"kr"_s},     {u"ja_JP"_s, u"\uFFE5"_s}, // Qt's Japanese yen is the full-width sign
        {u"bn_BD"_s, u"\u09F3"_s},                            // written with Bengali digits
        {u"C"_s, u""_s},
    };
    for (const auto& c : cases) {
        useLocale(c.locale);
        EXPECT_EQ(DefaultCurrencySymbol(), c.symbol) << c.locale.toStdString();
    }
}

TEST(BuildMoneyFormat, JoinsSymbolPlaceAndPattern)
{
    buildWith(u""_s, u"1"_s); // nothing stored
    EXPECT_EQ(moneyFormat(), u"$ ###,###,###,##0.00"_s);

    buildWith(u"kr."_s, u"0"_s);
    EXPECT_EQ(moneyFormat(), u"###,###,###,##0.00 kr\\."_s);

    buildWith(u"Fr."_s, u"1"_s);
    EXPECT_EQ(moneyFormat(), u"Fr\\. ###,###,###,##0.00"_s);

    useLocale(u"C"_s);
    buildWith(u""_s, u"1"_s);
    EXPECT_EQ(moneyFormat(), u" ###,###,###,##0.00"_s);
    EXPECT_EQ(FormatMoney(1234.5), u" 1,234.50"_s);
}

TEST(BuildMoneyFormat, ReadsCurrencyBeforeAsAWholeNumberUpTo255)
{
    for (const auto& [text, number] :
         {std::pair{u"1"_s, 1}, {u" 2"_s, 2}, {u"0"_s, 0}, {u"255"_s, 255}, {u"001"_s, 1}}) {
        EXPECT_EQ(currencyBeforeValue(text), number) << text.toStdString();
        buildWith(u"$"_s, text);
        EXPECT_EQ(FormatMoney(5), number == 1 ? u"$ 5.00"_s : u"5.00 $"_s) << text.toStdString();
    }

    buildWith(u"€"_s, u"1"_s);
    for (const QString& text :
         {u"abc"_s, u"256"_s, u"-1"_s, u"1.5"_s, u""_s, u" "_s, u"1e2"_s, u"99999999999"_s, u"\u0661"_s}) {
        EXPECT_THROW(currencyBeforeValue(text), Failure) << text.toStdString();
        EXPECT_THROW(buildWith(u"kr"_s, text), Failure) << text.toStdString();
        EXPECT_EQ(moneyFormat(), u"€ ###,###,###,##0.00"_s) << text.toStdString();
    }
}

TEST(FormatMoney, ShowsAmountsInTheRegionalSeparators)
{
    buildWith(u""_s, u"1"_s);
    EXPECT_EQ(FormatMoney(1234.5), u"$ 1,234.50"_s);
    EXPECT_EQ(FormatMoney(0), u"$ 0.00"_s);
    EXPECT_EQ(FormatMoney(-12), u"-$ 12.00"_s);
    EXPECT_EQ(FormatMoney(1234567890123.45), u"$ 1,234,567,890,123.45"_s);

    buildWith(u"Fr."_s, u"1"_s);
    EXPECT_EQ(FormatMoney(5), u"Fr. 5.00"_s);

    buildWith(u"€"_s, u"0"_s);
    EXPECT_EQ(FormatMoney(-12), u"-12.00 €"_s);

    useLocale(u"de_DE"_s);
    buildWith(u""_s, u"0"_s);
    EXPECT_EQ(FormatMoney(1234.5), u"1.234,50 €"_s);
    EXPECT_EQ(FormatMoney(-12), u"-12,00 €"_s);

    useLocale(u"da_DK"_s);
    buildWith(u""_s, u"0"_s);
    EXPECT_EQ(moneyFormat(), u"###,###,###,##0.00 kr\\."_s);
    EXPECT_EQ(FormatMoney(1234.5), u"1.234,50 kr."_s);

    // Swedish and French group with no-break spaces and write a real minus sign; the amount keeps "-".
    useLocale(u"sv_SE"_s);
    buildWith(u""_s, u"0"_s);
    EXPECT_EQ(FormatMoney(-1234.5), u"-1"_s + noBreakSpace + u"234,50 kr"_s);

    useLocale(u"fr_FR"_s);
    buildWith(u""_s, u"0"_s);
    EXPECT_EQ(FormatMoney(1234567.891), u"1"_s + narrowNoBreakSpace + u"234"_s + narrowNoBreakSpace + u"567,89 €"_s);
}

TEST(FormatMoney, RoundsTheTypedDecimalHalfAwayFromZero)
{
    const QString format = u"$ ###,###,###,##0.00"_s;
    const struct
    {
        double value;
        QString text;
    } cases[] = {
        {0.125, u"$ 0.13"_s},  {1.005, u"$ 1.01"_s},     {2.675, u"$ 2.68"_s},  {-0.125, u"-$ 0.13"_s},
        {0.005, u"$ 0.01"_s},  {0.00499, u"$ 0.00"_s},   {9.995, u"$ 10.00"_s}, {999999.995, u"$ 1,000,000.00"_s},
        {1e-300, u"$ 0.00"_s}, {-0.001, u"$ 0.00"_s}, // nothing left to be negative
        {-0.0, u"$ 0.00"_s},   {0.1 + 0.2, u"$ 0.30"_s},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatWithPattern(c.value, format, QLocale(u"en_US"_s)), c.text) << c.value;
}

TEST(FormatMoney, ShowsHugeValuesInFull)
{
    buildWith(u"$"_s, u"1"_s);
    QString digits = u"1"_s;
    for (int group = 0; group < 100; ++group)
        digits += u",000"_s;
    EXPECT_EQ(FormatMoney(1e300), u"$ "_s + digits + u".00"_s);

    const double largest = std::numeric_limits<double>::max();
    const QString text = FormatMoney(-largest);
    EXPECT_TRUE(text.startsWith(u"-$ 179,769,313,486,231,57"_s)) << text.toStdString();
    EXPECT_EQ(text.count(u','), 102);
    EXPECT_NO_THROW(FormatMoney(std::numeric_limits<double>::denorm_min()));
    EXPECT_NO_THROW(FormatMoney(std::numeric_limits<double>::infinity()));
    EXPECT_NO_THROW(FormatMoney(std::nan("")));
}

TEST(FormatMoney, ShowsAStoredSymbolAsTyped)
{
    for (const QString& symbol :
         {u"0"_s, u"#"_s, u"%"_s, u","_s, u"\\"_s, u"\""_s, u"'"_s, u"#,0"_s, u"\\."_s, u"a\\b"_s, u"0.5"_s}) {
        buildWith(symbol, u"1"_s);
        EXPECT_EQ(FormatMoney(1234.5), symbol + u" 1,234.50"_s) << symbol.toStdString();
        buildWith(symbol, u"0"_s);
        EXPECT_EQ(FormatMoney(-1234.5), u"-1,234.50 "_s + symbol) << symbol.toStdString();
    }
    // Only the full stop is escaped in the format text itself.
    buildWith(u"#0.\\"_s, u"1"_s);
    EXPECT_EQ(moneyFormat(), u"#0\\.\\ ###,###,###,##0.00"_s);
}

TEST(FormatWithPattern, EmptyPatternGivesTheGeneralForm)
{
    const QLocale us(u"en_US"_s), de(u"de_DE"_s), sv(u"sv_SE"_s);
    EXPECT_EQ(formatWithPattern(1234.5, QString(), us), u"1234.5"_s);
    EXPECT_EQ(formatWithPattern(1234567.25, QString(), de), u"1234567,25"_s);
    EXPECT_EQ(formatWithPattern(-0.5, QString(), sv), u"-0,5"_s);
    EXPECT_EQ(formatWithPattern(0.1 + 0.2, QString(), us), u"0.30000000000000004"_s);
    EXPECT_EQ(formatWithPattern(1e300, QString(), us), u"1E+300"_s);
    EXPECT_EQ(formatWithPattern(-0.0, QString(), us), u"0"_s);
    EXPECT_EQ(formatWithPattern(12, QString(), us), u"12"_s);
}

TEST(FormatWithPattern, FollowsTheCodeRules)
{
    const QLocale us(u"en_US"_s), de(u"de_DE"_s);
    EXPECT_EQ(formatWithPattern(1234.5, u"#,##0.00"_s, us), u"1,234.50"_s);
    EXPECT_EQ(formatWithPattern(1234.5, u"#,##0.00"_s, de), u"1.234,50"_s);
    EXPECT_EQ(formatWithPattern(1234.5, u"0.00"_s, us), u"1234.50"_s);
    EXPECT_EQ(formatWithPattern(1234.5, u"0"_s, us), u"1235"_s);
    EXPECT_EQ(formatWithPattern(5, u"000"_s, us), u"005"_s);
    EXPECT_EQ(formatWithPattern(0.5, u"#.##"_s, us), u".5"_s);
    EXPECT_EQ(formatWithPattern(2.1, u"0.0#"_s, us), u"2.1"_s);
    EXPECT_EQ(formatWithPattern(-5, u"\\#0 \\. x"_s, us), u"-#5 . x"_s);
    EXPECT_EQ(formatWithPattern(7, u"0, pcs"_s, us), u"7, pcs"_s);
}
