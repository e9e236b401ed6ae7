#include "importing/xlsxxmlreader.h"

#include "base/failure.h"

using namespace Qt::StringLiterals;

WorkbookXmlReader::WorkbookXmlReader(XlsxMember file, const QString& what) : file_(std::move(file)), what_(what) {}

QXmlStreamReader::TokenType WorkbookXmlReader::readNext()
{
    // The reader keeps an unfinished token and asks for more: what it was given since the last token
    // bounds the token's size.
    qsizetype given = 0;
    for (;;) {
        const TokenType token = QXmlStreamReader::readNext();
        if (token == Invalid && error() == PrematureEndOfDocumentError) {
            const QByteArray piece = file_.read();
            if (!piece.isEmpty()) {
                given += piece.size();
                if (given > xmlTokenLimit)
                    throw Failure(u"The workbook's %1 cannot be read: a piece of it without a break is longer "
                                  "than 1 MB, longer than any cell (32,767 characters) or tag."_s.arg(what_));
                addData(piece);
                continue;
            }
        }
        if (token == DTD)
            throw Failure(u"The workbook's %1 cannot be read: it declares a document type (<!DOCTYPE>), "
                          "which spreadsheet programs never write."_s.arg(what_));
        return token;
    }
}

bool WorkbookXmlReader::readNextStartElement()
{
    while (readNext() != Invalid) {
        if (isEndElement() || isEndDocument())
            return false;
        if (isStartElement())
            return true;
    }
    return false;
}

void WorkbookXmlReader::skipCurrentElement()
{
    for (int depth = 1; depth > 0 && readNext() != Invalid;) {
        if (isEndElement())
            --depth;
        else if (isStartElement())
            ++depth;
    }
}

void WorkbookXmlReader::finish()
{
    while (!file_.read().isEmpty()) {
    }
    ensure(!hasError(),
           u"The workbook's %1 cannot be read: %2 (line %3)."_s.arg(what_, errorString()).arg(lineNumber()));
}
