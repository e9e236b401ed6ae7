#include "money/dateformat.h"

#include <QLocale>

QString shortDateFormatWithFullYear()
{
    QString format = QLocale().dateFormat(QLocale::ShortFormat);
    if (!format.contains(u"yyyy"))
        format.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    return format;
}
