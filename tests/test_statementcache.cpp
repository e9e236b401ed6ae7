// Statements that differ only in their quoted texts share one compiled form, and run exactly as
// the text written would.
#include "store/connection.h"
#include "store/liftedtexts.h"
#include "store/programconnection.h"
#include "store/recordset.h"
#include "store/storeerror.h"
#include "support/ledgerfixture.h"
#include "support/ledgersnapshot.h"
#include "support/printers.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(LiftTexts, LiftsQuotedTextsAndNothingElse)
{
    const LiftedStatement plain = liftTexts(u"insert into t values ('it''s', 1, CDbl('2.5'))"_s);
    EXPECT_EQ(plain.shape, u"insert into t values (?, 1, CDbl(?))");
    EXPECT_EQ(plain.texts, (QStringList{u"it's"_s, u"2.5"_s}));

    const LiftedStatement names =
        liftTexts(u"select [it's], \"a'b\", `c'd` from t -- 'note'\nwhere x = 'y' /* 'z' */"_s);
    EXPECT_EQ(names.shape, u"select [it's], \"a'b\", `c'd` from t -- 'note'\nwhere x = ? /* 'z' */");
    EXPECT_EQ(names.texts, QStringList{u"y"_s});

    EXPECT_TRUE(liftTexts(u"insert into t values (X'0A')"_s).texts.isEmpty()) << "a blob stays as written";
    EXPECT_TRUE(liftTexts(u"select ? , 'a'"_s).texts.isEmpty()) << "a statement with parameters of its own";
    EXPECT_TRUE(liftTexts(u"select 'unclosed"_s).texts.isEmpty());
    EXPECT_TRUE(liftTexts(u"select 'unclosed''"_s).texts.isEmpty()) << "a doubled quote closes nothing";
}

TEST(StatementCache, CompiledStatementsWriteWhatTheTextsWouldAndFailAlike)
{
    const QString ledger = openFreshLedger();
    for (int i = 0; i < 3; ++i)
        addEntry(sampleEntry(u"O'Neil ü %1"_s.arg(i), u"1"_s + QString::number(i) + u".25"_s,
                             i % 2 ? Direction::PaidOut : Direction::Received));
    const LedgerSnapshot rows = snapshotLedger(ledger);
    ASSERT_EQ(rows.size(), 3);
    EXPECT_TRUE(rows[0].contains(u"text:O'Neil ü 0 |"_s)) << rows[0].toStdString();
    EXPECT_TRUE(rows[1].contains(u"real:11.25 |"_s)) << rows[1].toStdString();

    // The engine's own message, also from a compiled statement used before.
    Entry bad = sampleEntry(u"x"_s, u"abc"_s);
    try {
        addEntry(bad);
        ADD_FAILURE() << "an amount that is no number was stored";
    } catch (const StoreError& error) {
        EXPECT_STREQ(error.what(), "Data type mismatch in criteria expression: CDbl('abc')");
    }
    EXPECT_EQ(snapshotLedger(ledger), rows);

    // A text where SQL wants a name runs as written.
    Conn().execute(u"create table 'scratch' (a default 'x')"_s);
    Conn().execute(u"insert into scratch (a) values ('y')"_s);
    Recordset rs;
    rs.open(u"select a from scratch"_s, Conn());
    EXPECT_EQ(rs.field(u"a").toString(), u"y");
    rs.close();
    EXPECT_THROW(Conn().execute(u"insert into scratch values ('a'); drop table tblData"_s), StoreError);
}
