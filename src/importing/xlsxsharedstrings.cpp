#include "importing/xlsxsharedstrings.h"

#include "importing/importtable.h"
#include "importing/xlsxxml.h"

using namespace Qt::StringLiterals;

QStringList readSharedStrings(const QByteArray& xml)
{
    QXmlStreamReader reader(xml);
    QStringList strings;
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == u"si") {
            strings.append(readRichText(reader));
            ensureCellCount(strings.size());
        }
    }
    ensureXmlRead(reader, u"shared texts"_s);
    return strings;
}
