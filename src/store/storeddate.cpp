#include "store/storeddate.h"

#include <QLocale>
#include <QString>

namespace {

int digits(QByteArrayView text, qsizetype from, qsizetype count)
{
    int value = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

} // namespace

QDate parseStoredDate(QByteArrayView text)
{
    if (text.size() < 10 || text[4] != '-' || text[7] != '-' ||
        (text.size() > 10 && text[10] != ' ' && text[10] != 'T'))
        return {};
    const int year = digits(text, 0, 4);
    const int month = digits(text, 5, 2);
    const int day = digits(text, 8, 2);
    if (year < 0 || month < 0 || day < 0)
        return {};
    return QDate(year, month, day);
}

QDate readDateText(QByteArrayView utf8)
{
    QDate date = parseStoredDate(utf8);
    if (date.isValid())
        return date;
    const QString text = QString::fromUtf8(utf8).trimmed();
    const QLocale locale;
    for (auto format : {QLocale::ShortFormat, QLocale::LongFormat}) {
        date = locale.toDate(text, format);
        if (date.isValid())
            break;
    }
    return date;
}
