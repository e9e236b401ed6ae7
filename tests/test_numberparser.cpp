// One reading of amounts for the entry window and the ledger's CDbl.
#include "money/numberparser.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace Qt::StringLiterals;

TEST(NumberParser, PlainSignedDecimalsInTheLocale)
{
    const QLocale us(u"en_US"_s), de(u"de_DE"_s);
    EXPECT_EQ(parseNumber(u"12.5", us), 12.5);
    EXPECT_EQ(parseNumber(u"  -3 ", us), -3.0);
    EXPECT_EQ(parseNumber(u"+0", us), 0.0);
    EXPECT_EQ(parseNumber(u"1,234.5", us), 1234.5);
    EXPECT_EQ(parseNumber(u"1234,5", de), 1234.5);
    EXPECT_EQ(parseNumber(u"1.234,5", de), 1234.5);
    EXPECT_FALSE(parseNumber(u"1,234.5", de).has_value());
}

TEST(NumberParser, RefusesWhatIsNoFiniteNumber)
{
    const QLocale us(u"en_US"_s);
    for (const QString& text : {u""_s, u" "_s, u"abc"_s, u"nan"_s, u"NaN"_s, u"inf"_s, u"-inf"_s, u"Infinity"_s,
                                u"1e309"_s, u"-1e309"_s, u"1'000"_s, u"5'"_s, u"12.5.1"_s, u"1 2"_s, u"--1"_s})
        EXPECT_FALSE(parseNumber(text, us).has_value()) << text.toStdString();
}

TEST(NumberParser, AcceptsThePlainSpaceWhereTheGroupSeparatorIsANoBreakSpace)
{
    const QLocale fr(u"fr_FR"_s);
    EXPECT_EQ(parseNumber(u"1 234,5", fr), 1234.5);
    EXPECT_EQ(parseNumber(fr.toString(1234.5), fr), 1234.5);
}

TEST(AmountText, ReadsBackAsTheSameDouble)
{
    const double values[] = {0.1 + 0.2,    1234.5, -0.01, 1e21, 5e-324, std::numeric_limits<double>::max(),
                             -1234567.891, 12.5,   0.0};
    for (const char* name : {"en_US", "de_DE", "sv_SE", "fr_FR", "C", "ar_EG"}) {
        const QLocale locale{QString::fromLatin1(name)};
        for (double v : values) {
            const QString text = amountText(v, locale);
            const auto back = parseNumber(text, locale);
            ASSERT_TRUE(back.has_value()) << name << " " << v << " " << text.toStdString();
            EXPECT_EQ(*back, v) << name << " " << text.toStdString();
        }
    }
    EXPECT_EQ(amountText(12.5, QLocale(u"en_US"_s)), u"12.5");
    EXPECT_EQ(amountText(1234.5, QLocale(u"de_DE"_s)), u"1234,5");
}

TEST(AmountText, WritesWhatTheLocaleItselfWrites)
{
    // The quick writer must give the locale's own text, digit for digit.
    const double values[] = {0.1 + 0.2, 1234.5, -0.01, 1e21, 5e-324, -1234567.891, 12.5, 0.0, 1e-7, 123456789012.25};
    for (const char* name : {"en_US", "de_DE", "sv_SE", "fr_FR", "C", "de_CH"}) {
        QLocale plain{QString::fromLatin1(name)};
        plain.setNumberOptions(plain.numberOptions() | QLocale::OmitGroupSeparator);
        for (double v : values)
            EXPECT_EQ(amountText(v, plain), plain.toString(v, 'f', QLocale::FloatingPointShortest)) << name << " " << v;
    }
}

TEST(NumberParser, TheQuickReadingOfPlainDigitsAgreesWithTheLocale)
{
    for (const char* name : {"en_US", "de_DE", "fr_FR"}) {
        const QLocale locale{QString::fromLatin1(name)};
        const QString point = locale.decimalPoint();
        for (const QString& digits : {u"0"_s, u"007"_s, u"12"_s + point + u"50"_s, u"99999999999999999999"_s,
                                      u"1"_s + point + u"7976931348623157"_s, u"0"_s + point + u"1"_s}) {
            bool ok = false;
            const double expected = locale.toDouble(digits, &ok);
            ASSERT_TRUE(ok) << name << " " << digits.toStdString();
            EXPECT_EQ(parseNumber(digits, locale), expected) << name << " " << digits.toStdString();
        }
        // A separator at either end is left to the locale's own reader.
        EXPECT_EQ(parseNumber(point + u"5"_s, locale), 0.5) << name;
    }
}
