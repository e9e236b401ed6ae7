#include "store/reportstaging.h"

#include "money/numberparser.h"
#include "store/connection.h"
#include "store/prepare.h"
#include "store/recordset.h"
#include "store/statements.h"

#include <sqlite3.h>

namespace {

// The text form writes dates as #MM/DD/YYYY#; any other date is left to it.
bool bindableDate(QDate date)
{
    return date.isValid() && date.year() >= 1 && date.year() <= 9999;
}

bool bindableText(const QString& text)
{
    return !text.contains(QChar(0));
}

} // namespace

ReportStaging::ReportStaging(Connection& connection) : connection_(connection) {}

ReportStaging::~ReportStaging()
{
    sqlite3_finalize(insert_);
}

void ReportStaging::clear(Connection& connection)
{
    connection.execute(clearReport());
}

void ReportStaging::readBack(Recordset& rows)
{
    rows.open(selectReport(), connection_, adOpenStatic, adLockReadOnly);
}

void ReportStaging::addReceived(QDate date, double amount, const QString& payer, const QString& payee)
{
    add(insertReportReceived, date, amount, 0, payer, payee);
}

void ReportStaging::addPaid(QDate date, double amount, const QString& payer, const QString& payee)
{
    add(insertReportPaid, date, 0, amount, payer, payee);
}

void ReportStaging::add(TextForm form, QDate date, double valueIn, double valueOut, const QString& payer,
                        const QString& payee)
{
    if (!bindableDate(date) || !bindableText(payer) || !bindableText(payee)) {
        connection_.execute(form(date, amountText(valueIn + valueOut), payer, payee));
        return;
    }
    sqlite3* db = connection_.handle();
    // Compiled at the first row, so a staging table that cannot take rows fails where a row is written.
    if (!insert_)
        insert_ = prepareOne(db, "insert into tblReport ([Date],ValueIn,ValueOut,Payer,Payee) values (?,?,?,?,?)");
    bindText(insert_, 1, date.toString(Qt::ISODate));
    sqlite3_bind_double(insert_, 2, valueIn);
    sqlite3_bind_double(insert_, 3, valueOut);
    bindText(insert_, 4, payer);
    bindText(insert_, 5, payee);
    runBound(db, insert_);
}
