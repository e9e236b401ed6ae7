#pragma once

#include <QLocale>
#include <QString>

// The currency symbol of the user's regional currency format ($, €, kr., ¥ ...).
QString DefaultCurrencySymbol();

// The symbol rule behind DefaultCurrencySymbol, applied to a currency text of zero such as "$0.00",
// "0,00 €", "kr. 0,00" or "¥0": digits and separators go, a full stop ending the symbol stays.
QString currencySymbolFromText(const QString& zeroText);

// A stored "CurrencyBefore" text as a whole number from 0 to 255; 1 puts the symbol before the amount.
// Throws Failure when the text is anything else.
int currencyBeforeValue(const QString& stored);

// Rebuilds the program-wide money format from the stored "CurrencySymbol" (empty: the regional
// symbol) and "CurrencyBefore" texts. Throws Failure (and keeps the previous format) when the
// position is not valid.
void BuildMoneyFormat(const QString& storedSymbol, const QString& storedBefore);

// The program-wide money format, such as "$ ###,###,###,##0.00"; empty before the first build.
const QString& moneyFormat();

// `value` rendered with the current money format.
QString FormatMoney(double value);

// `value` rendered with the given format pattern: grouping and decimal separator of `locale`,
// a "-" before the whole text for negatives, the general form when the pattern is empty.
// In a money format the symbol is shown exactly as stored. Never throws.
QString formatWithPattern(double value, const QString& pattern, const QLocale& locale = QLocale());
