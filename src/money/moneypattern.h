#pragma once

#include <QLatin1String>
#include <QString>

// The two number patterns of the money format; the space in them separates number and symbol.
inline constexpr QLatin1String symbolBeforePattern(" ###,###,###,##0.00");
inline constexpr QLatin1String symbolAfterPattern("###,###,###,##0.00 ");

// How a format pattern shows a number: "0" a digit always shown, "#" a digit shown when
// significant, "," between integer placeholders groups in threes, the first "." is the decimal point.
struct NumberLayout
{
    bool shown = false;       // the pattern has a placeholder or a decimal point at all
    int minIntegerDigits = 0; // placeholders from the first "0" of the integer part on
    bool grouped = false;
    bool hasPoint = false;
    int minDecimals = 0; // up to the last "0" after the point
    int maxDecimals = 0;
};

// A pattern split into the literal text before the number, the number and the literal text after.
struct MoneyPattern
{
    QString prefix;
    NumberLayout number;
    QString suffix;
};

// Reads a format pattern. A money format (symbol and one of the two number patterns) keeps its
// symbol literal apart from the escaped full stops, so a symbol such as "#" or "\" shows as itself;
// any other pattern follows the code rules, with "\" showing the next character as itself.
MoneyPattern parseMoneyPattern(const QString& pattern);
