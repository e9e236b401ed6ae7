#pragma once

#include "importing/xlsxarchive.h"

#include <QString>
#include <QXmlStreamReader>

// More bytes than any one text or tag of a workbook takes: a cell's 32,767 characters written as
// escapes of seven characters each take less than a quarter of it.
inline constexpr qsizetype xmlTokenLimit = 1024 * 1024;

// One XML file of a workbook read token by token, unpacked from the archive only as far as the reading
// has come. Refuses what spreadsheet programs never write and what lets a few bytes become a huge text:
// a document type declaration, whose entities expand wherever they are named, and a single token of more
// than xmlTokenLimit bytes. Only what reads a token at a time through readNext() is offered, so that no
// text is put together unchecked.
class WorkbookXmlReader : private QXmlStreamReader
{
public:
    // `what` names the file in messages ("sheet", "styles", ...).
    WorkbookXmlReader(XlsxMember file, const QString& what);

    // Throws Failure for a document type declaration or an overlong token, and when unpacking fails.
    TokenType readNext();
    // As QXmlStreamReader's, reading through readNext().
    bool readNextStartElement();
    void skipCurrentElement();

    // Unpacks the rest of the file, so that damage anywhere in it shows, and throws Failure, in words for
    // the user, when the reading stopped on an error.
    void finish();

    const QString& what() const { return what_; }

    using QXmlStreamReader::atEnd;
    using QXmlStreamReader::attributes;
    using QXmlStreamReader::hasError;
    using QXmlStreamReader::name;
    using QXmlStreamReader::raiseError;
    using QXmlStreamReader::text;

private:
    XlsxMember file_;
    QString what_;
};
