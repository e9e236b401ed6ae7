#include "importing/xlsxworkbook.h"

#include "base/failure.h"
#include "importing/xlsxxmlreader.h"

#include <QDir>
#include <QHash>

using namespace Qt::StringLiterals;

namespace {

const QString workbookName = u"xl/workbook.xml"_s;
const QString relationshipsName = u"xl/_rels/workbook.xml.rels"_s;

struct Workbook
{
    QString sheetId; // relationship id of the first sheet shown
    bool date1904 = false;
};

// The relationship id attribute, under whichever prefix the writer bound its namespace to.
QString relationshipId(const QXmlStreamAttributes& attributes)
{
    for (const QXmlStreamAttribute& attribute : attributes) {
        if (attribute.name() == u"id" && !attribute.namespaceUri().isEmpty())
            return attribute.value().toString();
    }
    return {};
}

Workbook readWorkbook(XlsxMember file)
{
    Workbook workbook;
    QString firstHidden;
    WorkbookXmlReader xml(std::move(file), u"list of sheets"_s);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes attributes = xml.attributes();
        if (xml.name() == u"workbookPr") {
            const QStringView date1904 = attributes.value("date1904"_L1);
            workbook.date1904 = date1904 == u"1" || date1904 == u"true";
        } else if (xml.name() == u"sheet" && workbook.sheetId.isEmpty()) {
            const QStringView state = attributes.value("state"_L1);
            if (state.isEmpty() || state == u"visible")
                workbook.sheetId = relationshipId(attributes);
            else if (firstHidden.isEmpty())
                firstHidden = relationshipId(attributes);
        }
    }
    xml.finish();
    // A workbook whose sheets are all hidden still shows its first one when opened.
    if (workbook.sheetId.isEmpty())
        workbook.sheetId = firstHidden;
    return workbook;
}

// A relationship's target as a name in the archive: relative to xl/, or from its root after "/".
QString archiveName(QStringView target)
{
    if (target.startsWith(u'/'))
        return QDir::cleanPath(target.sliced(1).toString());
    return QDir::cleanPath(u"xl/"_s + target.toString());
}

} // namespace

WorkbookFiles readWorkbookFiles(const XlsxArchive& archive)
{
    auto workbookFile = archive.open(workbookName);
    ensure(workbookFile.has_value(), u"The file '%1' is not an Excel workbook (.xlsx)."_s.arg(archive.shownName()));
    const Workbook workbook = readWorkbook(std::move(*workbookFile));
    WorkbookFiles files;
    files.date1904 = workbook.date1904;
    if (auto relationships = archive.open(relationshipsName)) {
        WorkbookXmlReader xml(std::move(*relationships), u"table of contents"_s);
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != u"Relationship")
                continue;
            const QXmlStreamAttributes attributes = xml.attributes();
            const QString target = archiveName(attributes.value("Target"_L1));
            const QStringView type = attributes.value("Type"_L1);
            if (!workbook.sheetId.isEmpty() && attributes.value("Id"_L1) == workbook.sheetId)
                files.sheet = target;
            else if (type.endsWith(u"/sharedStrings"))
                files.sharedStrings = target;
            else if (type.endsWith(u"/styles"))
                files.styles = target;
        }
        xml.finish();
    }
    return files;
}
