#pragma once

#include "base/progress.h"
#include "importing/csvreader.h"
#include "importing/importtable.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

// A statement or workbook as read for import.
struct ImportSource
{
    ImportTable table;
    std::optional<QByteArray> text; // a text file's bytes, to be read again another way; none for a workbook
    CsvOptions csv;                 // the delimiter and encoding the text was read with
};

// Reads the file by its suffix (importFormatOf): a text file with its delimiter and encoding detected, or
// a workbook's first visible sheet. Throws Failure, in words for the user, for a file of another kind and
// for one that cannot be read (see readImportBytes, readCsv, readXlsx). `reading` gives the check for a
// text of so many bytes; when that check says stop, Cancelled is thrown.
ImportSource readImportSource(const QString& path, const std::function<ProgressCheck(qint64 bytes)>& reading = {});
