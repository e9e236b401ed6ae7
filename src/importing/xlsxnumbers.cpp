#include "importing/xlsxnumbers.h"

#include <QDate>
#include <QLocale>
#include <QTime>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// 9999-12-31 in the 1900 system.
constexpr double lastSerial = 2958465;
constexpr qint64 secondsPerDay = 24 * 60 * 60;

} // namespace

QString numberText(double value)
{
    return QString::number(value, 'f', QLocale::FloatingPointShortest);
}

QString serialDateText(double serial, bool date1904)
{
    const double day = std::floor(serial);
    const double firstDay = date1904 ? 0 : 1;
    if (!(day >= firstDay && day <= lastSerial))
        return numberText(serial);
    if (!date1904 && day == 60)
        return u"1900-02-29"_s;
    // Day 1 is 1 January 1900; from day 61 on, the day that never was has been counted.
    const QDate start = date1904 ? QDate(1904, 1, 1) : day < 60 ? QDate(1899, 12, 31) : QDate(1899, 12, 30);
    const QDate date = start.addDays(qint64(day));
    return date.year() <= 9999 ? date.toString(Qt::ISODate) : numberText(serial);
}

QString serialTimeText(double serial)
{
    if (!std::isfinite(serial))
        return numberText(serial);
    const qint64 seconds = std::llround((serial - std::floor(serial)) * secondsPerDay) % secondsPerDay;
    return QTime::fromMSecsSinceStartOfDay(int(seconds * 1000)).toString(u"HH:mm:ss"_s);
}
