// Another program's changes reach this one: the engine tells of them, and the main window's list,
// summary and statistics follow within moments, keeping what the user selected, ticked, sorted,
// found and scrolled to, and waiting while one of the program's own commands is open.
#include "app/longtask.h"
#include "base/paths.h"
#include "ledgerlist/ledgermodel.h"
#include "ledgerlist/ledgerview.h"
#include "store/connection.h"
#include "store/ledgerwatcher.h"
#include "store/programconnection.h"
#include "store/recordset.h"
#include "store/statements.h"
#include "support/ledgerfixture.h"
#include "support/ledgerkinds.h"
#include "support/mainwindow.h"
#include "support/postgresserver.h"
#include "ui/main/findbar.h"

#include <QComboBox>
#include <QDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>
#include <libpq-fe.h>

using namespace Qt::StringLiterals;

namespace {

using Role = PostgresServer::Role;

// Long enough for many rounds of the watcher, so a change that is not followed fails for that
// reason and never for a slow machine.
constexpr int patienceMs = 10'000;

// Lets events run until `done` holds, or for long enough to say it never will; the check after it
// tells which.
void waitUntil(const std::function<bool()>& done)
{
    (void)QTest::qWaitFor(done, patienceMs);
}

QString newestIdOn(Connection& connection)
{
    Recordset rs;
    rs.open(u"select max(id) as id from tblData"_s, connection);
    return rs.field(u"id").toString();
}

// Waits for the engine of the program's connection to hear of another program's change.
bool heardWithin(int ms)
{
    QElapsedTimer waited;
    waited.start();
    do {
        if (Conn().engine().othersChanged())
            return true;
        QTest::qWait(20);
    } while (waited.elapsed() < ms);
    return false;
}

// The program's connection and another program's, on a fresh ledger of each kind.
class Hearing : public testing::TestWithParam<LedgerKind>
{
protected:
    void SetUp() override
    {
        location = openFreshLedger(GetParam());
        other.open(location);
    }

    QString location;
    Connection other;
};

// A server ledger's signals as the server keeps them, read over a libpq connection of the test's own.
class ServerSignals : public testing::Test
{
protected:
    void SetUp() override
    {
        database = newServerDatabase();
        writer.open(testServer().connectionString(Role::Writer, database));
        raw = PQconnectdb(testServer().connectionString(Role::Writer, database).toUtf8().constData());
        ASSERT_EQ(PQstatus(raw), CONNECTION_OK) << PQerrorMessage(raw);
    }
    void TearDown() override { PQfinish(raw); }

    void run(const char* sql)
    {
        PGresult* result = PQexec(raw, sql);
        EXPECT_TRUE(PQresultStatus(result) == PGRES_COMMAND_OK || PQresultStatus(result) == PGRES_TUPLES_OK)
            << sql << ": " << PQerrorMessage(raw);
        PQclear(result);
    }
    int signalTriggers()
    {
        PGresult* result = PQexec(raw, "SELECT count(*) FROM pg_trigger WHERE tgname = 'quorvane_signal'");
        const int count = atoi(PQgetvalue(result, 0, 0));
        PQclear(result);
        return count;
    }
    // The notifications that reached the test's connection, read without waiting.
    int notifications()
    {
        PQconsumeInput(raw);
        int count = 0;
        while (PGnotify* note = PQnotifies(raw)) {
            ++count;
            PQfreemem(note);
        }
        return count;
    }

    QString database;
    Connection writer;
    PGconn* raw = nullptr;
};

// The main window on a fresh ledger of each kind, and another program on the same ledger.
class LiveList : public MainWindowTest, public testing::WithParamInterface<LedgerKind>
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        const QString location = GetParam() == LedgerKind::File ? connectionString(SpecialFolderPath(35))
                                                                : openFreshLedger(LedgerKind::Server);
        listEntries({sampleEntry(u"Rent"_s, u"100"_s, Direction::PaidOut), sampleEntry(u"Gig"_s, u"40"_s),
                     sampleEntry(u"Lesson"_s, u"10"_s)});
        other.open(location);
    }

    QString otherAdds(const QString& reason, const QString& amount, Direction direction = Direction::Received)
    {
        other.execute(insertEntry(sampleEntry(reason, amount, direction)));
        return newestIdOn(other);
    }

    QAbstractItemModel* list() const { return window.listView()->model(); }
    QString shown(int row, int column) const { return list()->index(row, column).data().toString(); }
    QStringList shownReasons() const
    {
        QStringList reasons;
        for (int row = 0; row < list()->rowCount(); ++row)
            reasons.append(shown(row, 3));
        return reasons;
    }
    QString selectedId() const { return shown(window.listView()->currentIndex().row(), 0); }
    bool selectionIsCurrentRow() const
    {
        const QModelIndexList rows = window.listView()->selectionModel()->selectedRows();
        return rows.size() == 1 && rows.first().row() == window.listView()->currentIndex().row();
    }
    void selectReason(const QString& reason) { window.listView()->selectRow(int(shownReasons().indexOf(reason))); }
    void clickHeader(int column)
    {
        QHeaderView* header = window.listView()->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
    }

    Connection other;
};

} // namespace

TEST_P(Hearing, AnotherProgramsChangesToEachTableAreHeardItsOwnAreNot)
{
    EXPECT_FALSE(Conn().engine().othersChanged()) << "nothing changed since the ledger was opened";
    Conn().execute(insertEntry(sampleEntry(u"mine"_s, u"1"_s)));
    Conn().execute(u"delete from tblData"_s);
    EXPECT_FALSE(heardWithin(600)) << "its own writes";

    const QString changes[] = {
        insertEntry(sampleEntry(u"theirs"_s, u"2"_s)),
        u"update tblData set reason='changed'"_s,
        u"insert into tblRepeat (unit, every, monthday, startdate, endkind, paused) "
        "values (1, 1, 5, #01/05/2024#, 0, 0)"_s,
        u"insert into tblRepeatPosted (ruleid, occurred) values (1, #01/05/2024#)"_s,
        u"delete from tblRepeatPosted"_s,
        u"delete from tblData"_s,
    };
    for (const QString& change : changes) {
        other.execute(change);
        EXPECT_TRUE(heardWithin(patienceMs)) << change.toStdString();
        EXPECT_FALSE(Conn().engine().othersChanged()) << "heard once: " << change.toStdString();
    }
}

TEST_P(Hearing, TheWatcherTellsOfAnotherProgramsChangeAndAsksTheConnectionOpenAtTheTime)
{
    LedgerWatcher watcher;
    QSignalSpy changed(&watcher, &LedgerWatcher::changed);
    other.execute(insertEntry(sampleEntry(u"theirs"_s, u"2"_s)));
    waitUntil([&] { return changed.size() == 1; });
    ASSERT_EQ(changed.size(), 1);

    // The program opens its ledger afresh (after a restore): the watcher asks the new connection.
    ConnSlot() = std::make_unique<Connection>();
    Conn().open(location);
    other.execute(insertEntry(sampleEntry(u"later"_s, u"3"_s)));
    waitUntil([&] { return changed.size() == 2; });
    ASSERT_EQ(changed.size(), 2);

    // Closed: asked no more, and nothing fails.
    ConnSlot().reset();
    other.execute(insertEntry(sampleEntry(u"unheard"_s, u"4"_s)));
    QTest::qWait(3 * LedgerWatcher::intervalMs);
    EXPECT_EQ(changed.size(), 2);
}

INSTANTIATE_TEST_SUITE_P(Engines, Hearing, testing::Values(LedgerKind::File, LedgerKind::Server), ledgerKindName);

TEST_F(ServerSignals, ATransactionOfManyStatementsWakesAListenerOnce)
{
    run("LISTEN quorvane_ledger");
    writer.beginBatch();
    for (int i = 0; i < 500; ++i)
        writer.execute(insertEntry(sampleEntry(u"imported"_s, QString::number(i))));
    writer.commitBatch();
    run("SELECT 1"); // a round trip, so the notification sent at the commit has surely arrived
    EXPECT_EQ(notifications(), 1);

    writer.execute(u"update tblData set notes='x'"_s);
    run("SELECT 1");
    EXPECT_EQ(notifications(), 1) << "500 rows changed by one statement";
}

TEST_F(ServerSignals, ALedgerWithoutSignalsGetsThemFromAUserWhoMayMakeThemOnly)
{
    EXPECT_EQ(signalTriggers(), 3) << "made with the schema";
    run("DROP TRIGGER quorvane_signal ON tbldata; DROP TRIGGER quorvane_signal ON tblrepeat; "
        "DROP TRIGGER quorvane_signal ON tblrepeatposted");

    Connection reader;
    reader.open(testServer().connectionString(Role::Reader, database));
    EXPECT_EQ(signalTriggers(), 0) << "a reader may not make them, and opens the ledger all the same";

    Connection again;
    again.open(testServer().connectionString(Role::Writer, database));
    EXPECT_EQ(signalTriggers(), 3);
}

TEST_F(ServerSignals, AReaderHearsTheWritersChanges)
{
    for (const auto access : {Connection::Access::ReadOnly, Connection::Access::ReadWrite}) {
        ConnSlot() = std::make_unique<Connection>();
        Conn().open(testServer().connectionString(Role::Reader, database), access);
        writer.execute(insertEntry(sampleEntry(u"shared"_s, u"1"_s)));
        EXPECT_TRUE(heardWithin(patienceMs));
    }
}

TEST_F(ServerSignals, ALostConnectionIsNoNewsAndNoFailure)
{
    ConnSlot() = std::make_unique<Connection>();
    Conn().open(testServer().connectionString(Role::Writer, database));
    run("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE application_name = 'quorvane' AND "
        "datname = current_database()");
    EXPECT_FALSE(heardWithin(600));
}

TEST_P(LiveList, AddsEditsAndDeletesOfAnotherProgramAreFollowedWithTheTotals)
{
    const QString id = otherAdds(u"Bonus"_s, u"1000"_s);
    waitUntil([&] { return list()->rowCount() == 4; });
    ASSERT_EQ(list()->rowCount(), 4);
    EXPECT_EQ(shownReasons().last(), u"Bonus");
    EXPECT_EQ(summaryCaptions(window),
              (QStringList{u"Received: $ 1,050.00"_s, u"Paid: $ 100.00"_s, u"Balance: $ 950.00"_s}));

    other.execute(u"update tblData set amount=500 where id="_s + id);
    waitUntil([&] { return summaryCaptions(window)[0] == u"Received: $ 550.00"_s; });
    ASSERT_EQ(summaryCaptions(window)[0], u"Received: $ 550.00"_s);
    EXPECT_EQ(shown(3, 2), u"$ 500.00");

    other.execute(deleteEntry(id));
    waitUntil([&] { return list()->rowCount() == 3; });
    ASSERT_EQ(list()->rowCount(), 3);
    EXPECT_EQ(summaryCaptions(window)[2], u"Balance: -$ 50.00");
    EXPECT_TRUE(boxes.messages.isEmpty()) << boxes.texts().join(u'\n').toStdString();
}

TEST_P(LiveList, TheSelectedEntryStaysSelectedWhereverTheOrderNowListsIt)
{
    clickHeader(2); // Amount, ascending: Lesson 10, Gig 40, Rent 100
    selectReason(u"Gig"_s);
    const QString gig = selectedId();
    otherAdds(u"Tip"_s, u"5"_s);
    waitUntil([&] { return list()->rowCount() == 4; });
    ASSERT_EQ(list()->rowCount(), 4);
    EXPECT_EQ(shownReasons(), (QStringList{u"Tip"_s, u"Lesson"_s, u"Gig"_s, u"Rent"_s})) << "the order is kept";
    EXPECT_EQ(selectedId(), gig);
    EXPECT_TRUE(selectionIsCurrentRow());
}

TEST_P(LiveList, AnEntryDeletedWhileSelectedLeavesTheRowInItsPlaceSelected)
{
    selectReason(u"Gig"_s);
    other.execute(deleteEntry(selectedId()));
    waitUntil([&] { return list()->rowCount() == 2; });
    ASSERT_EQ(list()->rowCount(), 2);
    EXPECT_EQ(window.listView()->currentIndex().row(), 1);
    EXPECT_EQ(shown(1, 3), u"Lesson");
    EXPECT_TRUE(selectionIsCurrentRow());
}

TEST_P(LiveList, TheFindFilterStaysAndANewEntryShowsWhenItMatches)
{
    window.findBar()->open();
    window.findBar()->textField()->setText(u"le"_s);
    ASSERT_EQ(shownReasons(), QStringList{u"Lesson"_s});
    otherAdds(u"Bicycle"_s, u"7"_s);
    otherAdds(u"Water"_s, u"8"_s);
    waitUntil([&] { return shownReasons().size() == 2; });
    ASSERT_EQ(shownReasons(), (QStringList{u"Lesson"_s, u"Bicycle"_s}));
    EXPECT_EQ(window.findBar()->textField()->text(), u"le");
    EXPECT_TRUE(window.findBar()->isVisible());
    EXPECT_EQ(window.ledgerModel()->rowCount(), 5);
}

TEST_P(LiveList, TickedEntriesStayTickedWhenTheirRowsMove)
{
    tick(window, 1); // Gig
    tick(window, 2); // Lesson
    other.execute(deleteEntry(shown(0, 0)));
    waitUntil([&] { return list()->rowCount() == 2; });
    ASSERT_EQ(list()->rowCount(), 2);
    for (int row : {0, 1})
        EXPECT_EQ(list()->index(row, 0).data(Qt::CheckStateRole), Qt::Checked) << shown(row, 3).toStdString();
    otherAdds(u"Tip"_s, u"5"_s);
    waitUntil([&] { return list()->rowCount() == 3; });
    ASSERT_EQ(list()->rowCount(), 3);
    EXPECT_EQ(list()->index(2, 0).data(Qt::CheckStateRole), Qt::Unchecked) << "a new entry comes unticked";
    EXPECT_EQ(window.ledgerModel()->tickedIds().size(), 2);
}

TEST_P(LiveList, TheScrollPositionIsKept)
{
    QList<Entry> many;
    for (int i = 0; i < 300; ++i)
        many.append(sampleEntry(u"Entry %1"_s.arg(i), u"1"_s));
    listEntries(many);
    QScrollBar* down = window.listView()->verticalScrollBar();
    waitUntil([&] { return down->maximum() > 100; });
    ASSERT_GT(down->maximum(), 100);
    down->setValue(100);
    otherAdds(u"Tip"_s, u"5"_s);
    waitUntil([&] { return list()->rowCount() == 304; });
    ASSERT_EQ(list()->rowCount(), 304);
    EXPECT_EQ(down->value(), 100);
}

TEST_P(LiveList, TheStatisticsWindowFollows)
{
    window.showStatistics();
    // The whole ledger's figures, whatever today's date.
    window.statisticsWindow()->findChild<QComboBox*>(u"StatisticsPeriod"_s)->setCurrentIndex(5);
    const double received = window.statisticsWindow()->figures().received;
    otherAdds(u"Bonus"_s, u"1000"_s);
    waitUntil([&] { return window.statisticsWindow()->figures().received == received + 1000; });
    ASSERT_EQ(window.statisticsWindow()->figures().received, received + 1000);
}

TEST_P(LiveList, AChangeWhileACommandRunsIsFollowedOnceItEnds)
{
    // Another program's change arrives while the program's own command runs: a modal window (the
    // entry window's kind), then a long task (a report's or an export's kind).
    const std::function<void(const std::function<void()>&)> commands[] = {
        [&](const std::function<void()>& meanwhile) {
            QDialog dialog(&window);
            QTimer::singleShot(0, &dialog, [&] {
                meanwhile();
                dialog.accept();
            });
            dialog.exec();
        },
        [&](const std::function<void()>& meanwhile) {
            LongTask task(&window, u"Working"_s, 1);
            meanwhile();
        },
    };
    int rows = list()->rowCount();
    for (const auto& command : commands) {
        command([&] {
            otherAdds(u"Meanwhile"_s, u"1"_s);
            QTest::qWait(6 * LedgerWatcher::intervalMs);
            EXPECT_EQ(list()->rowCount(), rows) << "not while the command runs";
        });
        waitUntil([&] { return list()->rowCount() == rows + 1; });
        ASSERT_EQ(list()->rowCount(), rows + 1);
        ++rows;
    }
}

TEST_P(LiveList, TheProgramsOwnWritesGiveNoSecondRefill)
{
    QSignalSpy refills(window.ledgerModel(), &QAbstractItemModel::modelReset);
    listEntries({sampleEntry(u"Mine"_s, u"3"_s)});
    Conn().execute(u"update tblData set notes='mine'"_s);
    QTest::qWait(4 * LedgerWatcher::intervalMs);
    EXPECT_EQ(refills.size(), 1) << "the command's own refill only";
}

INSTANTIATE_TEST_SUITE_P(Engines, LiveList, testing::Values(LedgerKind::File, LedgerKind::Server), ledgerKindName);

// A long office ledger made on the server itself, then changed by another program.
class LongServerList : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        other.open(openFreshLedger(LedgerKind::Server));
        other.engine()
            .prepare("insert into tbldata (datercvd, reason, fromcompany, tocompany, amount, "
                     "paymentmethod, notes, paymenttype) select date '2020-01-01' + n % 1500, "
                     "'Entry ' || n, 'Marrowfen', 'Tobren', n % 1000, 'Cash', '', 1 + n % 2 "
                     "from generate_series(1, 100000) n")
            ->run();
        window.ListData();
    }

    Connection other;
};

TEST_F(LongServerList, AHundredThousandEntriesFollowAnotherProgramsChange)
{
    ASSERT_EQ(window.ledgerModel()->rowCount(), 100000);
    window.listView()->selectRow(50000);
    const QString selected = window.listView()->currentIndex().siblingAtColumn(0).data().toString();

    other.execute(u"update tblData set reason='Changed' where id=50001"_s);
    other.execute(u"delete from tblData where id=1"_s);
    waitUntil([&] { return window.ledgerModel()->rowCount() == 99999; });
    ASSERT_EQ(window.ledgerModel()->rowCount(), 99999);
    EXPECT_EQ(window.ledgerModel()->text(50000 - 1, 3), u"Changed");
    EXPECT_EQ(window.listView()->currentIndex().siblingAtColumn(0).data().toString(), selected);
}
