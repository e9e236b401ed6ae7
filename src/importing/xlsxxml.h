#pragma once

#include "importing/xlsxxmlreader.h"

#include <QString>

// Appends the text of the element the reader stands on to `text`, leaving the reader on its end.
// Throws Failure as soon as `text` is too long for a cell's text however its escapes decode.
void appendElementText(WorkbookXmlReader& xml, QString& text);

// The text of the <si> or <is> element the reader stands on: its <t>, or its rich-text runs' <t>
// one after the other, without the phonetic guides; escapes decoded. Leaves the reader on the end.
// Throws Failure for a text longer than a cell holds, as soon as that shows.
QString readRichText(WorkbookXmlReader& xml);

// Workbooks write "_xHHHH_" for UTF-16 code unit HHHH (control characters, or "_x005F_" for a "_" that
// would otherwise start such a run).
QString decodeEscapes(const QString& text);
