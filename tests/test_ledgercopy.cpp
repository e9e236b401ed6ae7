// Whole ledgers copied between a file and a server, both ways: every row with its id, checked by
// count and sums, and all or nothing.
#include "store/connection.h"
#include "store/engine.h"
#include "store/ledgercopy.h"
#include "store/programconnection.h"
#include "store/storeerror.h"
#include "support/ledgerfixture.h"
#include "support/ledgerkinds.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

struct Direction2
{
    LedgerKind from;
    LedgerKind to;
};

// Every row of the three tables as text, each value marked with its kind, so rows compare across engines.
QStringList rowsOf(Connection& ledger)
{
    QStringList rows;
    for (const char* select : {"select * from tblData order by id", "select * from tblRepeat order by id",
                               "select * from tblRepeatPosted order by ruleid, occurred"}) {
        const auto read = ledger.engine().prepare(select);
        while (read->next()) {
            QStringList values;
            for (int c = 0; c < read->columnCount(); ++c) {
                switch (read->kind(c)) {
                case ColumnKind::Null:
                    values << u"null"_s;
                    break;
                case ColumnKind::Integer:
                    values << u"int:"_s + QString::number(read->intValue(c));
                    break;
                case ColumnKind::Real:
                    values << u"real:"_s + QString::number(read->doubleValue(c), 'g', 17);
                    break;
                case ColumnKind::Text:
                    values << u"text:"_s + QString::fromUtf8(read->utf8(c));
                    break;
                }
            }
            rows << values.join(u'|');
        }
    }
    return rows;
}

void fillSample(Connection& ledger)
{
    ledger.execute(u"insert into tblData (datercvd, reason, fromcompany, amount, paymenttype) values "
                   u"(#03/05/2021#, 'O''Neil ü', 'Åsa', 12.5, 1)"_s);
    ledger.execute(u"insert into tblData (datercvd, reason, amount, notes, paymenttype) values "
                   u"(#12/31/1999#, 'Rent', 0.1, 'two\nlines', 2)"_s);
    ledger.execute(
        u"insert into tblData (datercvd, reason, amount, paymenttype) values (#01/02/2020#, 'gone', 3, 2)"_s);
    ledger.execute(u"delete from tblData where reason = 'gone'"_s);
    ledger.execute(
        u"insert into tblData (datercvd, reason, amount, paymenttype) values (#07/04/2022#, 'Gig', 1e-7, 1)"_s);
    ledger.engine()
        .prepare("insert into tblRepeat (reason, amount, paymenttype, unit, every, monthday, startdate, endkind, "
                 "endcount, paused) values ('Rent', 700, 2, 3, 1, 0, '2024-01-31', 2, 12, 0)")
        ->run();
    ledger.engine()
        .prepare("insert into tblRepeatPosted (ruleid, occurred, entryid) values (1, '2024-01-31', 2)")
        ->run();
    ledger.engine()
        .prepare("insert into tblRepeatPosted (ruleid, occurred, entryid) values (1, '2024-02-29', null)")
        ->run();
}

qint64 nextEntryId(Connection& ledger)
{
    return ledger.engine()
        .prepare("insert into tblData (reason, paymenttype) values ('next', 1) returning id")
        ->runForId();
}

class LedgerCopy : public testing::TestWithParam<Direction2>
{
protected:
    void SetUp() override
    {
        // The program's connection stays on the last ledger opened; the copy uses two of its own.
        from_.open(openFreshLedger(GetParam().from));
        to_.open(openFreshLedger(GetParam().to));
    }

    Connection from_;
    Connection to_;
};

} // namespace

TEST_P(LedgerCopy, EveryRowArrivesWithItsIdAndLaterIdsLieAbove)
{
    fillSample(from_);
    const LedgerSummary copied = copyLedgerContents(from_, to_, CopyInto::EmptyLedger);
    EXPECT_EQ(copied.entries, 3);
    EXPECT_EQ(copied.received, 12.5 + 1e-7);
    EXPECT_EQ(copied.paid, 0.1);
    EXPECT_EQ(rowsOf(to_), rowsOf(from_));
    EXPECT_EQ(nextEntryId(to_), 5) << "the deleted entry's id 3 is below the copied 4";
}

TEST_P(LedgerCopy, ALedgerThatIsNotEmptyIsLeftAsItWas)
{
    fillSample(from_);
    to_.execute(u"insert into tblData (reason, amount, paymenttype) values ('mine', 1, 1)"_s);
    const QStringList before = rowsOf(to_);
    EXPECT_THROW(copyLedgerContents(from_, to_, CopyInto::EmptyLedger), StoreError);
    EXPECT_EQ(rowsOf(to_), before);
}

TEST_P(LedgerCopy, ReplacingKeepsNoOldRowAndGivesNoIdTwice)
{
    for (int i = 0; i < 8; ++i)
        to_.execute(u"insert into tblData (reason, amount, paymenttype) values ('old', 1, 1)"_s);
    fillSample(from_);
    copyLedgerContents(from_, to_, CopyInto::ReplacingItsContents);
    EXPECT_EQ(rowsOf(to_), rowsOf(from_));
    EXPECT_EQ(nextEntryId(to_), 9) << "ids 1 to 8 were given before the copy";
}

TEST_P(LedgerCopy, ACancelledCopyLeavesBothLedgersAsTheyWereAndReadyForAnother)
{
    inOneBatch(from_, [&] {
        for (int i = 0; i < 1100; ++i)
            from_.execute(u"insert into tblData (reason, amount, paymenttype) values ('many', 1, 1)"_s);
    });
    qint64 asked = 0;
    EXPECT_THROW(copyLedgerContents(from_, to_, CopyInto::EmptyLedger,
                                    [&](qint64 done) {
                                        asked = done;
                                        return false;
                                    }),
                 Cancelled);
    EXPECT_EQ(asked, 1024);
    EXPECT_TRUE(rowsOf(to_).isEmpty());
    // The reading moment of `from` ended with the cancel: a later copy reads it afresh.
    from_.execute(u"insert into tblData (reason, amount, paymenttype) values ('later', 2, 2)"_s);
    const LedgerSummary copied = copyLedgerContents(from_, to_, CopyInto::EmptyLedger);
    EXPECT_EQ(copied.entries, 1101);
    EXPECT_EQ(rowsOf(to_), rowsOf(from_));
}

INSTANTIATE_TEST_SUITE_P(Engines, LedgerCopy,
                         testing::Values(Direction2{LedgerKind::File, LedgerKind::Server},
                                         Direction2{LedgerKind::Server, LedgerKind::File},
                                         Direction2{LedgerKind::Server, LedgerKind::Server}),
                         [](const testing::TestParamInfo<Direction2>& info) {
                             const auto name = [](LedgerKind kind) {
                                 return kind == LedgerKind::File ? "File" : "Server";
                             };
                             return std::string(name(info.param.from)) + "To" + name(info.param.to);
                         });

TEST(LedgerCopyToServer, EntriesWithDatesThatAreNoDatesAreNamedAndNothingIsCopied)
{
    Connection file;
    file.open(openFreshLedger(LedgerKind::File));
    fillSample(file);
    file.execute(u"update tblData set datercvd = 'soon' where id = 2"_s);
    Connection server;
    server.open(openFreshLedger(LedgerKind::Server));
    try {
        copyLedgerContents(file, server, CopyInto::EmptyLedger);
        ADD_FAILURE() << "a date that is no date reached the server";
    } catch (const StoreError& error) {
        EXPECT_TRUE(QString::fromUtf8(error.what()).contains(u"2 ('soon')"_s)) << error.what();
    }
    EXPECT_TRUE(rowsOf(server).isEmpty());
}
