#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <optional>

// The order of day, month and year in dates written with numbers only.
enum class DateOrder { DMY, MDY, YMD };
enum class DecimalMark { Point, Comma };

// A date as statements write it: d.m.yyyy, d/m/yyyy or d-m-yyyy in the given order, two-digit years
// (00-69 in this century, 70-99 in the last), yyyy-mm-dd and yyyymmdd whatever the order, English and
// German month names ("12 Mar 2024", "Mar 12, 2024", "12. März 2024"). A time after the date is
// passed over. Nothing for dates that do not exist, such as 31.02.2024.
std::optional<QDate> parseImportDate(QStringView text, DateOrder order);

// An amount as statements write it: blanks, currency symbols and codes around the number, grouping
// by the other mark, apostrophes or blanks, a sign before or after it, or parentheses around it.
// Nothing for texts without digits, with letters inside the number, with more than one decimal mark
// or groups that are not of three digits, and for magnitudes beyond 1e15.
std::optional<double> parseImportAmount(QStringView text, DecimalMark mark);

// Whether a text reads as a date in any order, or as an amount with either mark.
bool isImportDate(QStringView text);
bool isImportAmount(QStringView text);

// The order under which most samples read as dates; between equals, the one that the samples show
// outright (a day above 12, a year first), then the order of the user's short date format.
DateOrder guessDateOrder(const QList<QString>& samples);

// The mark that most samples show as theirs ("1.234,56" and "12,50" a comma, "1,234.56" and "12.50" a
// point); the user's own when the samples do not tell.
DecimalMark guessDecimalMark(const QList<QString>& samples);
