#include "store/sqlitefunctions.h"

#include "money/numberparser.h"
#include "store/statementfaults.h"
#include "store/storeddate.h"

#include <QDate>
#include <sqlite3.h>

namespace {

void mismatch(sqlite3_context* context, QStringView function, QStringView text)
{
    const QByteArray message = mismatchMessage(function, text).toUtf8();
    sqlite3_result_error(context, message.constData(), int(message.size()));
}

QString argumentText(sqlite3_value* value)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
    return QString::fromUtf8(text, sqlite3_value_bytes(value));
}

// CDate(text), read as readDateText reads it.
void cdate(sqlite3_context* context, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const QByteArrayView raw(reinterpret_cast<const char*>(sqlite3_value_text(argv[0])), sqlite3_value_bytes(argv[0]));
    const QDate date = readDateText(raw);
    if (!date.isValid()) {
        mismatch(context, u"CDate", QString::fromUtf8(raw));
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
        mismatch(context, u"CDbl", text);
}

} // namespace

void registerDialectFunctions(sqlite3* db)
{
    sqlite3_create_function_v2(db, "CDate", 1, SQLITE_UTF8, nullptr, cdate, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "CDbl", 1, SQLITE_UTF8, nullptr, cdbl, nullptr, nullptr, nullptr);
}
