#pragma once

#include <QDate>
#include <QString>

// Rewrites the ledger dialect's date literals #MM/DD/YYYY# that stand outside quoted text into
// ISO date text ('YYYY-MM-DD'). Quoted texts, quoted names and comments are copied untouched.
// Throws StoreError for a literal that names no real date.
QString translateDialect(QStringView sql);

// One stretch of a statement as the dialect reads it, so that every reader of statements agrees
// on where texts, names and comments begin and end.
struct DialectRun
{
    enum Kind { Text, Name, Comment, Other };
    Kind kind;
    qsizetype end;      // just past the run
    bool closed = true; // a text or name that reaches its closing quote
};

// The run that opens at text[pos]: a quoted text ('…', a doubled quote standing for itself), a
// quoted name ([…], "…", `…`), a comment ("--" to the line's end, "/* */"), or else one character.
// A run that never closes reaches the end of the text.
DialectRun runAt(QStringView text, qsizetype pos);

// What a closed quoted text or name that opens at text[pos] stands for: its content, doubled
// quotes made single (a [name] has none).
QString textOfRun(QStringView text, qsizetype pos, const DialectRun& run);

// A quoted text right after a letter, digit or '_' (X'0A', a blob) is no plain text.
bool textIsPrefixed(QStringView text, qsizetype pos);

// The date literal #M/D/Y# at text[pos]: its length, with the date in `date`; 0 when none opens there.
// Throws StoreError for a literal that names no real date.
qsizetype dateLiteralAt(QStringView text, qsizetype pos, QDate& date);
