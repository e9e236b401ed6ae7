#include "support/xlsxreader.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QXmlStreamReader>
#include <gtest/gtest.h>
#include <set>

using namespace Qt::StringLiterals;

namespace {

// Tests point PATH at fake programs, so look in the system folders first.
QString unzipProgram()
{
    const QString system = QStandardPaths::findExecutable(u"unzip"_s, {u"/usr/bin"_s, u"/bin"_s});
    return system.isEmpty() ? QStandardPaths::findExecutable(u"unzip"_s) : system;
}

// One member of the archive; empty when it is not there.
QByteArray member(const QString& path, const QString& name)
{
    QProcess unzip;
    unzip.start(unzipProgram(), {u"-p"_s, path, name});
    if (!unzip.waitForFinished(60000))
        ADD_FAILURE() << "unzip did not finish on " << path.toStdString();
    return unzip.readAllStandardOutput();
}

// Cells keep characters XML cannot hold as "_xHHHH_"; a spreadsheet shows them decoded.
QString unescapeCharacters(const QString& text)
{
    static const QRegularExpression escaped(QStringLiteral("_x([0-9A-Fa-f]{4})_"));
    QString out;
    qsizetype last = 0;
    for (auto it = escaped.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        out += QStringView(text).mid(last, match.capturedStart() - last);
        out += QChar(char16_t(match.captured(1).toUShort(nullptr, 16)));
        last = match.capturedEnd();
    }
    out += QStringView(text).mid(last);
    return out;
}

// The text of every <t> inside the current element, up to its end.
QString textsUntilEndOf(QXmlStreamReader& xml, QStringView element)
{
    QString text;
    while (xml.readNext() != QXmlStreamReader::Invalid && !(xml.isEndElement() && xml.name() == element))
        if (xml.isStartElement() && (xml.name() == u"t" || xml.name() == u"v"))
            text += xml.readElementText();
    return unescapeCharacters(text);
}

QStringList sharedStrings(const QByteArray& data)
{
    QStringList strings;
    QXmlStreamReader xml(data);
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"si")
            strings.append(textsUntilEndOf(xml, u"si"));
    return strings;
}

} // namespace

QString columnLetters(int column)
{
    QString letters;
    for (; column > 0; column = (column - 1) / 26)
        letters.prepend(QChar(u'A' + (column - 1) % 26));
    return letters;
}

XlsxSheet::XlsxSheet(const QString& path)
{
    const QByteArray sheet = member(path, u"xl/worksheets/sheet1.xml"_s);
    if (sheet.isEmpty()) {
        ADD_FAILURE() << "no sheet in " << path.toStdString();
        return;
    }
    const QStringList shared = sharedStrings(member(path, u"xl/sharedStrings.xml"_s));
    QXmlStreamReader xml(sheet);
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        const QXmlStreamAttributes attributes = xml.attributes();
        if (xml.name() == u"col") {
            for (int c = attributes.value(u"min"_s).toInt(); c <= attributes.value(u"max"_s).toInt(); ++c)
                widths[c] = attributes.value(u"width"_s).toDouble();
        } else if (xml.name() == u"c") {
            const QString reference = attributes.value(u"r"_s).toString();
            const QStringView type = attributes.value(u"t"_s);
            const QString value = textsUntilEndOf(xml, u"c");
            if (type == u"s")
                cells[reference] = {shared.value(value.toInt()), false};
            else
                cells[reference] = {value, type.isEmpty() || type == u"n"};
        }
    }
    if (xml.hasError())
        ADD_FAILURE() << "bad sheet XML: " << xml.errorString().toStdString();
}

QStringList XlsxSheet::row(int row, int columns) const
{
    QStringList texts;
    for (int c = 1; c <= columns; ++c)
        texts.append(text(columnLetters(c) + QString::number(row)));
    return texts;
}

QList<int> XlsxSheet::usedRows() const
{
    static const QRegularExpression digits(u"\\d+$"_s);
    std::set<int> rows;
    for (auto it = cells.cbegin(); it != cells.cend(); ++it)
        rows.insert(digits.match(it.key()).captured().toInt());
    return QList<int>(rows.begin(), rows.end());
}
