#pragma once

#include <QLocale>
#include <QString>
#include <optional>

// The one reading of typed amounts, shared by the entry window's check and the ledger's CDbl:
// the locale's decimal and group separators, an optional sign, surrounding blanks.  Refuses NaN,
// infinities, values beyond the double range and any apostrophe, so whatever it accepts is stored
// as exactly that number.
std::optional<double> parseNumber(QStringView text, const QLocale& locale = QLocale());

// The shortest text in the locale (no grouping) that parseNumber reads back as the same double.
QString amountText(double value, const QLocale& locale = QLocale());
