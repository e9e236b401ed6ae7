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

// Where a guess comes from. Only an open one needs the user's eye.
enum class GuessBasis {
    Evidence,    // what the file shows
    Indifferent, // the user's region, as nothing in the file reads differently either way
    Open,        // the user's region, as the file reads either way and shows nothing that tells which
};

template <class T> struct Guess
{
    T value;
    GuessBasis basis = GuessBasis::Evidence;
};

// What the rest of a statement tells about its dates.
struct DateClues
{
    std::optional<DecimalMark> decimalMark; // as the amounts show it
    bool dayFirstTitles = false;            // column titles in a language whose statements write the day first
};

// The order of a date column's samples, in file order. The file's own evidence decides, weighed in
// this order: dates that read one way only (a day above 12, a year first); dots, which no
// month-first statement writes; a decimal comma or titles in a day-first language; dates that run in
// order (either way round) under one reading and jump about under the other. Only where none of
// these tells does the user's short date format.
Guess<DateOrder> guessDateOrder(const QList<QString>& samples, const DateClues& clues = {});

// The mark that most samples show as theirs ("1.234,56" and "12,50" a comma, "1,234.56" and "12.50" a
// point); the user's own when the samples do not tell, open when one of them reads either way ("1,234").
Guess<DecimalMark> guessDecimalMark(const QList<QString>& samples);
