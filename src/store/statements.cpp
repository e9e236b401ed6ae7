#include "store/statements.h"

using namespace Qt::StringLiterals;

namespace {

constexpr auto insertColumns =
    u"insert into tblData (datercvd,reason,fromcompany,tocompany,amount,paymentmethod,notes,paymenttype) values "
    u"(CDate(";
constexpr auto insertReportColumns = u"insert into tblReport ([Date],ValueIn,ValueOut,Payer,Payee) values (CDate(";

QString doubled(QStringView text)
{
    QString out = text.toString();
    out.replace(u'\'', QStringLiteral("''"));
    return out;
}

} // namespace

QString FormatSqlDate(QDate date)
{
    // Written digit by digit: the report writes one of these per entry.
    const QChar text[] = {u'#', QChar(u'0' + date.month() / 10), QChar(u'0' + date.month() % 10),
                          u'/', QChar(u'0' + date.day() / 10),   QChar(u'0' + date.day() % 10),
                          u'/'};
    return QString(text, std::size(text)) + QString::number(date.year()) + u'#';
}

QString quoteText(QStringView text)
{
    return u'\'' + doubled(text) + u'\'';
}

QString selectAllEntries()
{
    return QStringLiteral("select * from tblData");
}

QString selectEntry(const QString& id)
{
    return u"select * from tblData where id="_s + id;
}

QString insertEntry(const Entry& e)
{
    return QString::fromUtf16(insertColumns) + FormatSqlDate(e.date) + u"),'"_s + doubled(e.reason) + u"','"_s +
           doubled(e.fromCompany) + u"','"_s + doubled(e.toCompany) + u"', CDbl('"_s + e.amountText + u"') ,'"_s +
           doubled(e.paymentMethod) + u"','"_s + doubled(e.notes) + u"',"_s +
           QString::number(storedValue(e.direction)) + u')';
}

QString insertCopy(const Entry& e)
{
    return QString::fromUtf16(insertColumns) + FormatSqlDate(e.date) + u"), '"_s + doubled(e.reason) + u"','"_s +
           doubled(e.fromCompany) + u"','"_s + doubled(e.toCompany) + u"', CDbl('"_s + e.amountText + u"'),'"_s +
           doubled(e.paymentMethod) + u"','"_s + doubled(e.notes) + u"',"_s +
           QString::number(storedValue(e.direction)) + u')';
}

QString updateEntry(const Entry& e, const QString& id)
{
    return u"update tblData set datercvd=CDate("_s + FormatSqlDate(e.date) + u") ,reason='"_s + doubled(e.reason) +
           u"',fromcompany='"_s + doubled(e.fromCompany) + u"',tocompany='"_s + doubled(e.toCompany) +
           u"',amount=CDbl('"_s + e.amountText + u"') ,paymentmethod='"_s + doubled(e.paymentMethod) + u"',notes='"_s +
           doubled(e.notes) + u"',paymenttype="_s + QString::number(storedValue(e.direction)) + u" where id="_s + id;
}

QString deleteEntry(const QString& id)
{
    return u"delete from tblData where id="_s + id;
}

QString countEntries()
{
    return QStringLiteral("select count(*) from tblData");
}

QString clearReport()
{
    return QStringLiteral("delete from tblReport");
}

QString selectReport()
{
    return QStringLiteral("select * from tblReport");
}

QString insertReportReceived(QDate date, const QString& amountText, const QString& payer, const QString& payee)
{
    return QString::fromUtf16(insertReportColumns) + FormatSqlDate(date) + u"), CDbl('"_s + amountText + u"') ,0,'"_s +
           doubled(payer) + u"','"_s + doubled(payee) + u"')"_s;
}

QString insertReportPaid(QDate date, const QString& amountText, const QString& payer, const QString& payee)
{
    return QString::fromUtf16(insertReportColumns) + FormatSqlDate(date) + u"),0, CDbl('"_s + amountText + u"'),'"_s +
           doubled(payer) + u"','"_s + doubled(payee) + u"')"_s;
}
