// The server's reading of the ledger's statements: values apart from the text, read on this side as
// the ledger file's engine reads them.
#include "store/programconnection.h"
#include "store/recordset.h"
#include "store/serverdialect.h"
#include "store/statementfaults.h"
#include "store/statements.h"
#include "store/storeerror.h"
#include "support/ledgerfixture.h"
#include "support/printers.h"

#include <QLocale>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

Entry entry(const QString& reason, const QString& amount, Direction direction = Direction::PaidOut,
            QDate date = QDate(2021, 7, 5))
{
    return {0, date, reason, u"Marrowfen"_s, u"D'Arcy"_s, amount, u"Cash"_s, QString(), direction};
}

// An entry's values in the order the statements write them.
QList<ServerValue> values(const Entry& e, double amount)
{
    return {e.date, e.reason, e.fromCompany, e.toCompany, amount, e.paymentMethod, e.notes};
}

struct ReadCase
{
    const char* locale;
    QString statement;
    ServerStatement expected;
};

void expectReadings(const QList<ReadCase>& cases)
{
    for (const ReadCase& c : cases) {
        QLocale::setDefault(QLocale(QString::fromLatin1(c.locale)));
        EXPECT_EQ(serverStatement(c.statement), c.expected) << c.statement.toStdString();
    }
}

QString refusal(const QString& statement)
{
    try {
        serverStatement(statement);
    } catch (const StoreError& error) {
        return QString::fromUtf8(error.what());
    }
    return {};
}

} // namespace

TEST(ServerDialect, ReadsEveryLedgerStatement)
{
    const QString insert =
        u"insert into tblData (datercvd,reason,fromcompany,tocompany,amount,paymentmethod,notes,paymenttype) values "_s;
    const QString report = u"insert into tblReport (\"date\",ValueIn,ValueOut,Payer,Payee) values "_s;
    const QDate day(2021, 7, 5);
    const Entry obrien = entry(u"O'Brien's rent"_s, u"12.5"_s);
    Entry noted = obrien;
    noted.notes = u"it's\nfine"_s;
    const Entry german = entry(u"Miete"_s, u"-1.234,5"_s, Direction::Received, QDate(2024, 2, 29));
    const Entry french = entry(u"Loyer"_s, u"1 234,5"_s, Direction::Received, QDate(999, 1, 2));
    expectReadings({
        {"en_US", selectAllEntries(), {u"select * from tblData order by id"_s, {}}},
        {"en_US", selectEntry(u"17"_s), {u"select * from tblData where id=17"_s, {}}},
        {"en_US", deleteEntry(u"17"_s), {u"delete from tblData where id=17"_s, {}}},
        {"en_US", countEntries(), {u"select count(*) from tblData"_s, {}}},
        {"en_US", insertEntry(obrien), {insert + u"($1::date,$2,$3,$4, $5::float8 ,$6,$7,2)"_s, values(obrien, 12.5)}},
        {"en_US", insertCopy(obrien), {insert + u"($1::date, $2,$3,$4, $5::float8,$6,$7,2)"_s, values(obrien, 12.5)}},
        {"en_US",
         updateEntry(noted, u"42"_s),
         {u"update tblData set datercvd=$1::date ,reason=$2,fromcompany=$3,tocompany=$4,amount=$5::float8 "
          ",paymentmethod=$6,notes=$7,paymenttype=2 where id=42"_s,
          values(noted, 12.5)}},
        {"de_DE",
         insertEntry(german),
         {insert + u"($1::date,$2,$3,$4, $5::float8 ,$6,$7,1)"_s, values(german, -1234.5)}},
        {"fr_FR", insertCopy(french), {insert + u"($1::date, $2,$3,$4, $5::float8,$6,$7,1)"_s, values(french, 1234.5)}},
        {"en_US", clearReport(), {u"delete from tblReport"_s, {}}},
        {"en_US", selectReport(), {u"select \"date\",valuein,valueout,payer,payee from tblreport order by seq"_s, {}}},
        {"de_DE",
         insertReportReceived(day, u"100,25"_s, u"O'Neil"_s, u"Tobren"_s),
         {report + u"($1::date, $2::float8 ,0,$3,$4)"_s, {day, 100.25, u"O'Neil"_s, u"Tobren"_s}}},
        {"en_US",
         insertReportPaid(day, u"40"_s, u""_s, u"B"_s),
         {report + u"($1::date,0, $2::float8,$3,$4)"_s, {day, 40.0, u""_s, u"B"_s}}},
    });
}

TEST(ServerDialect, ReadsNamesCommentsAndEndsAsTheLedgerFileDoes)
{
    expectReadings({
        {"C",
         u"select [Date], \"ValueIn\", `Payer`, [Größe], [a\"b] from t"_s,
         {u"select \"date\", \"valuein\", \"payer\", \"größe\", \"a\"\"b\" from t"_s, {}}},
        {"C", u"select 1 -- 'note'\n+ /* 'a' /* */ 2"_s, {u"select 1  +   2"_s, {}}},
        {"C", u"SELECT  *  FROM tbldata; ;-- all"_s, {u"select * from tblData order by id"_s, {}}},
        {"C",
         u"select d from t where d>#7/5/2021#and x='a'or y"_s,
         {u"select d from t where d>$1::date and x=$2 or y"_s, {QDate(2021, 7, 5), u"a"_s}}},
        {"C", u"select 1 # 2, cdate, CDBL ( '2' )"_s, {u"select 1 # 2, cdate, $1::float8"_s, {2.0}}},
    });
}

TEST(ServerDialect, NoValueIsEverPartOfTheText)
{
    // Texts that mean something in a statement's text, and nothing here.
    for (const QString& text :
         {u"O'Brien's"_s, u"#01/02/2003#"_s, u"CDate(#01/02/2003#)"_s, u"CDbl('1')"_s, u"-- no comment"_s,
          u"/* star */"_s, u"'; drop table tblData; --"_s, u"[Date]"_s, u"\"double\" `back`"_s, u"$1 $$x$$ ? :a"_s,
          u"back\\slash E'x'"_s, u"line\nline\r\ntab\t"_s, u"Zoë — naïve ☕ 🎸 שלום"_s}) {
        Entry e = entry(text, u"1"_s);
        e.fromCompany = e.toCompany = e.paymentMethod = e.notes = text;
        for (const QString& statement :
             {insertEntry(e), insertCopy(e), updateEntry(e, u"7"_s), insertReportReceived(e.date, u"1"_s, text, text),
              insertReportPaid(e.date, u"1"_s, text, text)}) {
            const ServerStatement read = serverStatement(statement);
            EXPECT_FALSE(read.text.contains(u'\'') || read.text.contains(u'#') || read.text.contains(text))
                << read.text.toStdString();
            EXPECT_TRUE(read.values.contains(ServerValue(text))) << statement.toStdString();
        }
    }
}

TEST(ServerDialect, RefusesWhatTheLedgerFileRefusesAndWhatOnlyItCouldRead)
{
    Entry withNul = entry(u"a"_s, u"1"_s);
    withNul.notes = u"a"_s + QChar(0) + u"b"_s;
    const QString onlyText = u"On a server ledger, CDbl takes only a quoted text."_s;
    const QString ownParameters = u"On a server ledger, a statement takes no parameters of its own: "_s;
    const QList<std::pair<QString, QString>> cases = {
        {deleteEntry(u"1"_s) + u"; drop table tblData"_s, u"Characters found after end of SQL statement."_s},
        {insertEntry(withNul), u"Texts may not contain the NUL character (U+0000)."_s},
        {u" -- nothing\n;"_s, u"The command text holds no statement."_s},
        {insertEntry(entry(u"a"_s, u"abc"_s)), u"Data type mismatch in criteria expression: CDbl('abc')"_s},
        {selectEntry(u"1 or #02/30/2022#"_s), u"Syntax error in date in query expression '#02/30/2022#'."_s},
        {u"select 'it''s"_s, u"unrecognized token: \"'it''s\""_s},
        {u"select [Date from t"_s, u"unrecognized token: \"[Date from t\""_s},
        {insertEntry(entry(u"a"_s, u"1'000"_s)), onlyText},
        {u"select CDbl(12.5)"_s, onlyText},
        {u"select CDate(reason) from t"_s, u"On a server ledger, CDate takes only a quoted text or a #date#."_s},
        {selectEntry(u"?"_s), ownParameters + u'?'},
        {u"select $$a$$"_s, ownParameters + u'$'},
        {u"select X'0A'"_s, u"On a server ledger, a quoted text takes no prefix: X'0A'"_s},
    };
    for (const auto& [statement, message] : cases)
        EXPECT_EQ(refusal(statement), message) << statement.toStdString();
}

TEST(ServerDialect, ReadsCDateAndCDblToTheValuesAndWordsOfTheLedgerFile)
{
    openFreshLedger();
    const QList<std::tuple<const char*, QString, bool>> calls = {
        {"en_US", u"CDate('2021-07-05 10:30')"_s, true},
        {"en_US", u"CDate('Monday, July 5, 2021')"_s, true},
        {"de_DE", u"CDate('05.07.21')"_s, true},
        {"en_US", u"CDate(' 2021-07-05')"_s, false},
        {"en_US", u"CDate('it''s')"_s, false},
        {"de_DE", u"CDbl('1.234,5')"_s, true},
        {"fr_FR", u"CDbl(' -1 234,5 ')"_s, true},
        {"de_DE", u"CDbl('1,234.5')"_s, false},
        {"en_US", u"CDbl('nan')"_s, false},
        {"en_US", u"CDbl('')"_s, false},
    };
    for (const auto& [locale, call, reads] : calls) {
        QLocale::setDefault(QLocale(QString::fromLatin1(locale)));
        QVariant fileValue;
        QString fileWords;
        try {
            Recordset rs;
            rs.open(u"select "_s + call + u" as v"_s, Conn());
            fileValue = rs.field(u"v");
        } catch (const StoreError& error) {
            fileWords = QString::fromUtf8(error.what());
        }
        EXPECT_EQ(fileWords.isEmpty(), reads) << call.toStdString();
        EXPECT_EQ(refusal(u"select "_s + call), fileWords) << call.toStdString();
        if (reads && fileWords.isEmpty()) {
            const ServerValue fileRead = call.startsWith(u"CDate")
                                             ? ServerValue(QDate::fromString(fileValue.toString(), Qt::ISODate))
                                             : ServerValue(fileValue.toDouble());
            EXPECT_EQ(serverStatement(u"select "_s + call).values, QList{fileRead}) << call.toStdString();
        }
    }
}

TEST(ServerDialect, NumbersTheStoresOwnParameters)
{
    const std::pair<QByteArray, ServerStoreSql> cases[] = {
        {"select reason from tblData where id = ?", {"select reason from tblData where id = $1", 1}},
        {"values (?,?,?)", {"values ($1,$2,$3)", 3}},
        {"SELECT ?1, ?2, NULL WHERE id = ?1", {"SELECT $1, $2, NULL WHERE id = $1", 2}},
        {"?2, ?", {"$2, $3", 3}},
        {"insert into tblReport ([Date],ValueIn) values (?,?)",
         {"insert into tblReport (\"date\",ValueIn) values ($1,$2)", 2}},
        {"select '?', \"a?\" -- ?\nfrom t where x = ?", {"select '?', \"a?\" -- ?\nfrom t where x = $1", 1}},
        {"select 'Zoë ☕;' where x = ?; -- done", {"select 'Zoë ☕;' where x = $1; -- done", 1}},
        {"select 1", {"select 1", 0}},
    };
    for (const auto& [store, server] : cases)
        EXPECT_EQ(serverStoreSql(store), server) << store.toStdString();
}

TEST(ServerDialect, RefusesMoreThanOneOfTheStoresOwnStatements)
{
    for (const char* sql : {"select 1; delete from tblData", "select 1;;select 2", "select 1; /* */ x"}) {
        try {
            serverStoreSql(sql);
            ADD_FAILURE() << sql;
        } catch (const StoreError& error) {
            EXPECT_EQ(QString::fromUtf8(error.what()), trailingStatementMessage()) << sql;
        }
    }
}
