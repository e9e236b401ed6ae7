#include "importing/xlsxsharedstrings.h"

#include "importing/importtable.h"
#include "importing/xlsxxml.h"

using namespace Qt::StringLiterals;

QStringList readSharedStrings(XlsxMember file, SheetTextCount& count)
{
    WorkbookXmlReader reader(std::move(file), u"shared texts"_s);
    QStringList strings;
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == u"si") {
            strings.append(readRichText(reader));
            count.add(strings.back().size());
            ensureCellCount(strings.size());
        }
    }
    reader.finish();
    return strings;
}
