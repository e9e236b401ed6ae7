#include "store/sqlitefunctions.h"

#include "money/numberparser.h"
#include "store/storeddate.h"

#include <QDate>
#include <QLocale>
#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

void mismatch(sqlite3_context* context, const QString& what)
{
    const QByteArray message = (u"Data type mismatch in criteria expression: "_s + what).toUtf8();
    sqlite3_result_error(context, message.constData(), int(message.size()));
}

QString argumentText(sqlite3_value* value)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
    return QString::fromUtf8(text, sqlite3_value_bytes(value));
}

// CDate(text): ISO dates pass through (the translated #MM/DD/YYYY# literals); regional dates are read too.
void cdate(sqlite3_context* context, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const QByteArrayView raw(reinterpret_cast<const char*>(sqlite3_value_text(argv[0])), sqlite3_value_bytes(argv[0]));
    QDate date = parseStoredDate(raw);
    if (!date.isValid()) {
        const QString text = QString::fromUtf8(raw).trimmed();
        const QLocale locale;
        for (auto format : {QLocale::ShortFormat, QLocale::LongFormat}) {
            date = locale.toDate(text, format);
            if (date.isValid())
                break;
        }
    }
    if (!date.isValid()) {
        mismatch(context, u"CDate('"_s + QString::fromUtf8(raw) + u"')"_s);
        return;
    }
    if (date.year() < 0 || date.year() > 9999) {
        const QByteArray iso = date.toString(Qt::ISODate).toLatin1();
        sqlite3_result_text(context, iso.constData(), int(iso.size()), SQLITE_TRANSIENT);
        return;
    }
    const int y = date.year(), m = date.month(), d = date.day();
    const char iso[10] = {char('0' + y / 1000),
                          char('0' + y / 100 % 10),
                          char('0' + y / 10 % 10),
                          char('0' + y % 10),
                          '-',
                          char('0' + m / 10),
                          char('0' + m % 10),
                          '-',
                          char('0' + d / 10),
                          char('0' + d % 10)};
    sqlite3_result_text(context, iso, int(sizeof iso), SQLITE_TRANSIENT);
}

// CDbl(text): the same reading of numbers as the entry window's check, in the user's locale.
void cdbl(sqlite3_context* context, int, sqlite3_value** argv)
{
    switch (sqlite3_value_type(argv[0])) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        sqlite3_result_double(context, sqlite3_value_double(argv[0]));
        return;
    case SQLITE_NULL:
        sqlite3_result_error(context, "Invalid use of Null in CDbl", -1);
        return;
    default:
        break;
    }
    const QString text = argumentText(argv[0]);
    if (const auto number = parseNumber(text))
        sqlite3_result_double(context, *number);
    else
        mismatch(context, u"CDbl('"_s + text + u"')"_s);
}

} // namespace

void registerDialectFunctions(sqlite3* db)
{
    sqlite3_create_function_v2(db, "CDate", 1, SQLITE_UTF8, nullptr, cdate, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "CDbl", 1, SQLITE_UTF8, nullptr, cdbl, nullptr, nullptr, nullptr);
}
