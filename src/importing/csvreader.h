#pragma once

#include "base/progress.h"
#include "importing/importtable.h"
#include "importing/textencoding.h"

#include <QByteArrayView>
#include <QChar>

struct CsvOptions
{
    QChar delimiter = u',';
    TextEncoding encoding = TextEncoding::Utf8;
};

// The encoding (see detectEncoding) and, among comma, semicolon, tab and bar, the delimiter that
// splits the first lines into the most equal and widest rows, quotes respected.
CsvOptions detectCsvOptions(QByteArrayView bytes);

// Comma-separated values as in RFC 4180, read leniently: quoted fields with "" for a quote and any
// line break inside, CRLF, LF or CR between records, blank lines skipped (each row keeps the line it
// starts on). Unquoted fields lose their surrounding blanks; quoted ones are kept exactly. Throws
// Failure, in words for the user, for binary content (a NUL character within the first 8 KB, as the
// encoding reads them), a quote left open at the end and rows wider than importColumnLimit. A NUL
// further on is left to the rows.
// `check` is asked now and then with about how many of the bytes are read; when it says stop,
// Cancelled is thrown.
ImportTable readCsv(QByteArrayView bytes, const CsvOptions& options, const ProgressCheck& check = {});
