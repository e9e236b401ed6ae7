#include "importing/xlsxstyles.h"

#include "importing/xlsxxmlreader.h"

#include <QHash>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// The built-in formats that have no code in the file: dates 14-17, 22, 27-31, 34-36 and 50-58
// (the last in East Asian calendars), times 18-21, 32, 33 and 45-47.
NumberKind kindOfBuiltinFormat(int id)
{
    if ((id >= 14 && id <= 17) || id == 22 || (id >= 27 && id <= 31) || (id >= 34 && id <= 36) ||
        (id >= 50 && id <= 58))
        return NumberKind::Date;
    if ((id >= 18 && id <= 21) || id == 32 || id == 33 || (id >= 45 && id <= 47))
        return NumberKind::Time;
    return NumberKind::Number;
}

bool isElapsedTime(QStringView bracketed)
{
    return !bracketed.isEmpty() && std::all_of(bracketed.begin(), bracketed.end(), [](QChar c) {
        return c.toLower() == u'h' || c.toLower() == u'm' || c.toLower() == u's';
    });
}

// What a format code shows, by the letters of its codes (see readCellKinds).
NumberKind kindOfFormatCode(QStringView code)
{
    bool date = false, time = false, month = false, elapsed = false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (c == u'"') {
            const qsizetype close = code.indexOf(u'"', i + 1);
            i = close < 0 ? code.size() : close;
        } else if (c == u'[') {
            const qsizetype close = code.indexOf(u']', i + 1);
            elapsed = elapsed || (close > i && isElapsedTime(code.sliced(i + 1, close - i - 1)));
            i = close < 0 ? code.size() : close;
        } else if (c == u'\\' || c == u'_' || c == u'*') {
            ++i; // the next character is shown, spaced or repeated, not read
        } else {
            const char16_t letter = c.toLower().unicode();
            date = date || letter == u'd' || letter == u'y';
            time = time || letter == u'h' || letter == u's';
            month = month || letter == u'm';
        }
    }
    if (date)
        return NumberKind::Date;
    if (elapsed)
        return NumberKind::Number;
    if (time)
        return NumberKind::Time;
    return month ? NumberKind::Date : NumberKind::Number;
}

} // namespace

std::vector<NumberKind> readCellKinds(XlsxMember styles)
{
    WorkbookXmlReader xml(std::move(styles), u"styles"_s);
    QHash<int, NumberKind> customKinds;
    std::vector<int> formatIds;
    bool inCellFormats = false;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::EndElement && xml.name() == u"cellXfs")
            inCellFormats = false;
        if (token != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes attributes = xml.attributes();
        if (xml.name() == u"numFmt")
            customKinds.insert(attributes.value("numFmtId"_L1).toInt(),
                               kindOfFormatCode(attributes.value("formatCode"_L1)));
        else if (xml.name() == u"cellXfs")
            inCellFormats = true;
        // Cell styles (cellStyleXfs) have <xf> too; only the cells' own count.
        else if (xml.name() == u"xf" && inCellFormats)
            formatIds.push_back(attributes.value("numFmtId"_L1).toInt());
    }
    xml.finish();
    std::vector<NumberKind> kinds;
    kinds.reserve(formatIds.size());
    for (const int id : formatIds)
        kinds.push_back(customKinds.value(id, kindOfBuiltinFormat(id)));
    return kinds;
}
