// The ledger statements must come out character for character as designed.
#include "store/statements.h"

#include <QLocale>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

Entry obrienEntry()
{
    Entry e;
    e.date = QDate(2021, 7, 5);
    e.reason = u"O'Brien's rent"_s;
    e.fromCompany = u"Marrowfen"_s;
    e.toCompany = u"D'Arcy"_s;
    e.amountText = u"12.5"_s;
    e.paymentMethod = u"Cash"_s;
    e.notes = QString();
    e.direction = Direction::PaidOut;
    return e;
}

} // namespace

TEST(FormatSqlDate, MonthFirstWithPaddingInEveryLocale)
{
    for (const char* name : {"en_US", "de_DE", "fr_FR", "ja_JP", "C"}) {
        QLocale::setDefault(QLocale(QString::fromLatin1(name)));
        EXPECT_EQ(FormatSqlDate(QDate(2022, 2, 1)), u"#02/01/2022#") << name;
        EXPECT_EQ(FormatSqlDate(QDate(2021, 7, 5)), u"#07/05/2021#") << name;
        EXPECT_EQ(FormatSqlDate(QDate(2021, 12, 31)), u"#12/31/2021#") << name;
        EXPECT_EQ(FormatSqlDate(QDate(999, 1, 2)), u"#01/02/999#") << name;
    }
}

TEST(Statements, ReadAndDeleteForms)
{
    EXPECT_EQ(selectAllEntries(), u"select * from tblData");
    EXPECT_EQ(selectEntry(u"17"_s), u"select * from tblData where id=17");
    EXPECT_EQ(deleteEntry(u"17"_s), u"delete from tblData where id=17");
}

TEST(Statements, InsertFromEntryWindow)
{
    EXPECT_EQ(insertEntry(obrienEntry()),
              u"insert into tblData (datercvd,reason,fromcompany,tocompany,amount,paymentmethod,notes,paymenttype) "
              "values (CDate(#07/05/2021#),'O''Brien''s rent','Marrowfen','D''Arcy', CDbl('12.5') ,'Cash','',2)");
}

TEST(Statements, InsertCopyHasItsOwnSpacing)
{
    EXPECT_EQ(insertCopy(obrienEntry()),
              u"insert into tblData (datercvd,reason,fromcompany,tocompany,amount,paymentmethod,notes,paymenttype) "
              "values (CDate(#07/05/2021#), 'O''Brien''s rent','Marrowfen','D''Arcy', CDbl('12.5'),'Cash','',2)");
}

TEST(Statements, Update)
{
    Entry e = obrienEntry();
    e.notes = u"it's\nfine"_s;
    EXPECT_EQ(updateEntry(e, u"42"_s),
              u"update tblData set datercvd=CDate(#07/05/2021#) ,reason='O''Brien''s rent',fromcompany='Marrowfen',"
              "tocompany='D''Arcy',amount=CDbl('12.5') ,paymentmethod='Cash',notes='it''s\nfine',paymenttype=2 "
              "where id=42");
}

TEST(Statements, ReportStaging)
{
    EXPECT_EQ(clearReport(), u"delete from tblReport");
    EXPECT_EQ(selectReport(), u"select * from tblReport");
    EXPECT_EQ(insertReportReceived(QDate(2021, 3, 5), u"100"_s, u"O'Neil"_s, u"Tobren"_s),
              u"insert into tblReport ([Date],ValueIn,ValueOut,Payer,Payee) values (CDate(#03/05/2021#), "
              "CDbl('100') ,0,'O''Neil','Tobren')");
    EXPECT_EQ(insertReportPaid(QDate(2021, 3, 5), u"40"_s, u"A"_s, u"B"_s),
              u"insert into tblReport ([Date],ValueIn,ValueOut,Payer,Payee) values (CDate(#03/05/2021#),0, "
              "CDbl('40'),'A','B')");
}

TEST(Statements, QuoteTextDoublesEveryApostropheAndNothingElse)
{
    EXPECT_EQ(quoteText(u"''x'"), u"'''''x'''");
    EXPECT_EQ(quoteText(u"\"#[Date]#--;"), u"'\"#[Date]#--;'");
    EXPECT_EQ(quoteText(u""), u"''");
}
