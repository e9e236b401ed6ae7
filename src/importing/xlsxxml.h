#pragma once

#include <QString>
#include <QXmlStreamReader>

// Throws Failure when the reader stopped on an error in what the workbook keeps as `what` ("sheet",
// "styles", ...).
void ensureXmlRead(const QXmlStreamReader& xml, const QString& what);

// The text of the <si> or <is> element the reader stands on: its <t>, or its rich-text runs' <t>
// one after the other, without the phonetic guides; escapes decoded. Leaves the reader on the end.
QString readRichText(QXmlStreamReader& xml);

// Workbooks write "_xHHHH_" for UTF-16 code unit HHHH (control characters, or "_x005F_" for a "_" that
// would otherwise start such a run).
QString decodeEscapes(const QString& text);
