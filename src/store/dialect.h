#pragma once

#include <QString>

// Rewrites the ledger dialect's date literals #MM/DD/YYYY# that stand outside quoted text into
// ISO date text ('YYYY-MM-DD'). Quoted texts, quoted names and comments are copied untouched.
// Throws StoreError for a literal that names no real date.
QString translateDialect(QStringView sql);

// Where a quoted run that opens at text[pos] ends: after its closing quote, where a doubled quote
// inside stands for itself (not for "]"); the end of the text when it never closes.
// `closed` (when given) tells whether the run was closed.
qsizetype quotedRunEnd(QStringView text, qsizetype pos, QChar close, bool* closed = nullptr);

// Where a comment that opens at text[pos] ("--" to the line's end, or "/* */") ends.
qsizetype commentEnd(QStringView text, qsizetype pos);
