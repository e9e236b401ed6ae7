#include "importing/xlsxxml.h"

#include "importing/xlsxtextlimits.h"

#include <optional>

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype escapeLength = 7; // "_x", four hex digits, "_"

// No cell's character takes more than an escape as written, so a longer text cannot decode to fit a cell.
constexpr qsizetype writtenTextLimit = cellTextLimit * escapeLength;

int hexDigit(QChar c)
{
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    return -1;
}

// The code unit of an escape at the start of `text`.
std::optional<char16_t> escapedUnit(QStringView text)
{
    if (text.size() < escapeLength || !text.startsWith(u"_x") || text[escapeLength - 1] != u'_')
        return std::nullopt;
    char16_t unit = 0;
    for (const QChar c : text.sliced(2, 4)) {
        const int digit = hexDigit(c);
        if (digit < 0)
            return std::nullopt;
        unit = char16_t(unit * 16 + digit);
    }
    return unit;
}

} // namespace

void appendElementText(WorkbookXmlReader& xml, QString& text)
{
    for (;;) {
        switch (xml.readNext()) {
        case QXmlStreamReader::Characters:
            text += xml.text();
            if (text.size() > writtenTextLimit)
                throw cellTextTooLong(xml.what());
            break;
        case QXmlStreamReader::StartElement:
            xml.raiseError(u"a text holds the element <%1>"_s.arg(xml.name()));
            return;
        case QXmlStreamReader::EndElement:
        case QXmlStreamReader::Invalid:
            return;
        default: // comments and processing instructions
            break;
        }
    }
}

QString readRichText(WorkbookXmlReader& xml)
{
    QString text;
    for (int depth = 1; depth > 0 && !xml.atEnd();) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement:
            if (xml.name() == u"t")
                appendElementText(xml, text);
            else if (xml.name() == u"rPh")
                xml.skipCurrentElement();
            else
                ++depth;
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        default:
            break;
        }
    }
    QString decoded = decodeEscapes(text);
    if (decoded.size() > cellTextLimit)
        throw cellTextTooLong(xml.what());
    return decoded;
}

QString decodeEscapes(const QString& text)
{
    if (!text.contains(u"_x"))
        return text;
    QString decoded;
    decoded.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        const auto unit = text[i] == u'_' ? escapedUnit(QStringView(text).sliced(i)) : std::nullopt;
        if (unit) {
            decoded += QChar(*unit);
            i += escapeLength;
        } else {
            decoded += text[i++];
        }
    }
    return decoded;
}
