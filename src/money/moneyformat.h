#pragma once

#include <QLocale>
#include <QString>

// The currency symbol of the user's regional currency format ($, €, kr., ¥ ...).
QString DefaultCurrencySymbol();

// Rebuilds the program-wide money format from "CurrencySymbol" and "CurrencyBefore".
// Throws (and keeps the previous format) when the settings cannot be read or are not valid.
void BuildMoneyFormat();

// The program-wide money format, such as "$ ###,###,###,##0.00"; empty before the first build.
const QString& moneyFormat();

// `value` rendered with the current money format.
QString FormatMoney(double value);

// `value` rendered with the given format pattern: grouping and decimal separator of `locale`,
// a "-" before the whole text for negatives, the general form when the pattern is empty.
QString formatWithPattern(double value, const QString& pattern, const QLocale& locale = QLocale());
