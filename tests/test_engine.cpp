// The engine's compiled statements, as the store's helpers use them, on a ledger file and on a server
// alike: bound values, rows read forward, changes counted, new ids returned, a failure that leaves the
// statement usable.
#include "store/connection.h"
#include "store/engine.h"
#include "store/programconnection.h"
#include "store/storeerror.h"
#include "support/ledgerfixture.h"
#include "support/ledgerkinds.h"
#include "support/printers.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

std::unique_ptr<EngineStatement> prepared(const char* sql)
{
    return Conn().engine().prepare(sql);
}

std::unique_ptr<EngineStatement> insertEntry()
{
    return prepared("insert into tblData (datercvd, reason, amount, paymenttype) values (?,?,?,?) returning id");
}

qint64 addWith(EngineStatement& insert, QDate date, const QString& reason, double amount)
{
    insert.bindDate(1, date);
    insert.bindText(2, reason);
    insert.bindDouble(3, amount);
    insert.bindInt(4, 1);
    return insert.runForId();
}

// Each case on a fresh ledger of each kind.
class Engine : public testing::TestWithParam<LedgerKind>
{
protected:
    void SetUp() override { ledger_ = openFreshLedger(GetParam()); }

    QString ledger_;
};

} // namespace

TEST_P(Engine, BoundValuesAreStoredAndReadBackWithTheirKinds)
{
    const auto insert = insertEntry();
    const qint64 id = addWith(*insert, QDate(2021, 3, 5), u"Miete ü 'x'"_s, 12.5);

    const auto read = prepared("select id, datercvd, reason, amount, notes from tblData where id = ?");
    read->bindInt(1, id);
    ASSERT_TRUE(read->next());
    ASSERT_EQ(read->columnCount(), 5);
    EXPECT_EQ(read->columnName(2), u"reason");
    EXPECT_EQ(read->kind(0), ColumnKind::Integer);
    EXPECT_EQ(read->intValue(0), id);
    EXPECT_TRUE(read->dateColumn(1)) << "the ledger declares its dates";
    EXPECT_FALSE(read->dateColumn(2));
    EXPECT_EQ(read->kind(1), ColumnKind::Text);
    EXPECT_EQ(read->utf8(1).toByteArray(), QByteArray("2021-03-05"));
    EXPECT_EQ(QString::fromUtf8(read->utf8(2)), u"Miete ü 'x'");
    EXPECT_EQ(read->kind(3), ColumnKind::Real);
    EXPECT_EQ(read->doubleValue(3), 12.5);
    EXPECT_EQ(read->kind(4), ColumnKind::Null);
    EXPECT_FALSE(read->next());
}

TEST_P(Engine, AnInsertReturnsEachNewIdInTurn)
{
    addEntry(sampleEntry(u"first"_s, u"1"_s));
    const QString before = newestId();
    const auto insert = insertEntry();
    const qint64 a = addWith(*insert, QDate(2021, 1, 1), u"a"_s, 1);
    const qint64 b = addWith(*insert, QDate(2021, 1, 2), u"b"_s, 2);
    EXPECT_EQ(a, before.toLongLong() + 1);
    EXPECT_EQ(b, a + 1);
    EXPECT_EQ(QString::number(b), newestId());
    EXPECT_EQ(entryCount(), 3);
}

TEST_P(Engine, ARunCountsTheRowsItChangedAndAQueryNone)
{
    for (const QString& reason : {u"x"_s, u"x"_s, u"y"_s})
        addEntry(sampleEntry(reason, u"1"_s));
    const auto update = prepared("update tblData set notes = ? where reason = ?");
    update->bindText(1, u"seen"_s);
    update->bindText(2, u"nobody"_s);
    EXPECT_EQ(update->run(), 0);
    update->bindText(1, u"seen"_s);
    update->bindText(2, u"x"_s);
    EXPECT_EQ(update->run(), 2);

    const auto count = prepared("select count(*) from tblData where notes = ?");
    count->bindText(1, u"seen"_s);
    EXPECT_EQ(count->run(), 0) << "a query changes nothing, whatever ran before it";
}

TEST_P(Engine, AFailedRunSaysWhyAndTheStatementRunsAgain)
{
    Conn().execute(u"create table tblOnce (n integer unique)"_s);
    const auto insert = prepared("insert into tblOnce (n) values (?)");
    insert->bindInt(1, 7);
    EXPECT_EQ(insert->run(), 1);
    insert->bindInt(1, 7);
    try {
        insert->run();
        ADD_FAILURE() << "a second 7 was stored";
    } catch (const StoreError& error) {
        EXPECT_STREQ(error.what(), GetParam() == LedgerKind::File
                                       ? "UNIQUE constraint failed: tblOnce.n"
                                       : "duplicate key value violates unique constraint \"tblonce_n_key\"");
    }
    insert->bindInt(1, 8);
    EXPECT_EQ(insert->run(), 1);
}

TEST_P(Engine, UnboundParametersAfterAResetAreNull)
{
    const auto insert = insertEntry();
    addWith(*insert, QDate(2021, 1, 1), u"a"_s, 1);
    const qint64 id = insert->runForId();
    const auto read = prepared("select reason from tblData where id = ?");
    read->bindInt(1, id);
    ASSERT_TRUE(read->next());
    EXPECT_EQ(read->kind(0), ColumnKind::Null);
}

TEST_P(Engine, OnlyOneStatementIsCompiled)
{
    EXPECT_THROW(prepared("select 1; delete from tblData"), StoreError);
    EXPECT_THROW(Conn().engine().query(u"select 1; select 2"_s), StoreError);
}

TEST_P(Engine, AClosedConnectionHasNoEngine)
{
    Conn().close();
    try {
        Conn().engine();
        ADD_FAILURE() << "a closed connection handed out an engine";
    } catch (const StoreError& error) {
        EXPECT_STREQ(error.what(), "Operation is not allowed when the object is closed.");
    }
}

// The duplicate command writes while the entry it copies is still being read.
TEST_P(Engine, AStatementRunWhileRowsAreReadLeavesBothWhole)
{
    for (const QString& reason : {u"a"_s, u"b"_s, u"c"_s})
        addEntry(sampleEntry(reason, u"1"_s));
    const auto rows = Conn().engine().query(u"select id, reason from tblData order by id"_s);
    ASSERT_TRUE(rows->next());
    const qint64 first = rows->intValue(0);
    const auto note = prepared("update tblData set notes = ? where id = ?");
    note->bindText(1, u"seen"_s);
    note->bindInt(2, first);
    EXPECT_EQ(note->run(), 1);

    QStringList reasons{QString::fromUtf8(rows->utf8(1))};
    while (rows->next())
        reasons << QString::fromUtf8(rows->utf8(1));
    EXPECT_EQ(reasons, (QStringList{u"a"_s, u"b"_s, u"c"_s}));

    Connection elsewhere;
    elsewhere.open(ledger_);
    const auto seen = elsewhere.engine().prepare("select count(*) from tblData where notes = ?");
    seen->bindText(1, u"seen"_s);
    ASSERT_TRUE(seen->next());
    EXPECT_EQ(seen->intValue(0), 1) << "the write was kept before the reading ended";
}

TEST_P(Engine, RowsLeftUnreadFreeTheConnection)
{
    for (const QString& reason : {u"a"_s, u"b"_s, u"c"_s})
        addEntry(sampleEntry(reason, u"1"_s));
    for (int round = 0; round < 2; ++round) {
        const auto rows = Conn().engine().query(u"select * from tblData"_s);
        ASSERT_TRUE(rows->next());
    }
    EXPECT_EQ(entryCount(), 3);
}

INSTANTIATE_TEST_SUITE_P(Engines, Engine, testing::Values(LedgerKind::File, LedgerKind::Server), ledgerKindName);
