#include "output/report/reportformat.h"

#include "money/moneyformat.h"

#include <QDate>

QString formatReportValue(const QVariant& value, const QString& format, const QLocale& locale)
{
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        return {};
    case QMetaType::QDate:
        return format.isEmpty() ? locale.toString(value.toDate(), QLocale::ShortFormat)
                                : locale.toString(value.toDate(), format);
    case QMetaType::Double:
    case QMetaType::LongLong:
    case QMetaType::Int:
        return formatWithPattern(value.toDouble(), format, locale);
    default:
        return value.toString();
    }
}
