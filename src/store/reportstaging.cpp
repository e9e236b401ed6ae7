#include "store/reportstaging.h"

#include "money/numberparser.h"
#include "store/connection.h"
#include "store/engine.h"
#include "store/recordset.h"
#include "store/statements.h"

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

ReportStaging::~ReportStaging() = default;

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
    // Compiled at the first row, so a staging table that cannot take rows fails where a row is written.
    if (!insert_)
        insert_ = connection_.engine().prepare(
            "insert into tblReport ([Date],ValueIn,ValueOut,Payer,Payee) values (?,?,?,?,?)");
    insert_->bindDate(1, date);
    insert_->bindDouble(2, valueIn);
    insert_->bindDouble(3, valueOut);
    insert_->bindText(4, payer);
    insert_->bindText(5, payee);
    insert_->run();
}
