// Repeating entries kept in a real ledger, a file and a server database alike: rules, what is due,
// posting once and all or none.
#include "base/clock.h"
#include "base/paths.h"
#include "repeating/repeatstore.h"
#include "repeating/ruletext.h"
#include "store/changeset.h"
#include "store/programconnection.h"
#include "store/recordset.h"
#include "store/storeerror.h"
#include "support/ledgerelsewhere.h"
#include "support/ledgerfixture.h"
#include "support/ledgerkinds.h"
#include "support/ledgersnapshot.h"

#include <QCryptographicHash>
#include <QFile>
#include <QStringList>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <latch>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

QDate day(const char* iso)
{
    return QDate::fromString(QString::fromLatin1(iso), Qt::ISODate);
}

RepeatRule monthlyRent(const char* start, int dayOfMonth)
{
    RepeatRule rule;
    rule.entry = sampleEntry(u"Rent for O'Brien's flat"_s, u"1,234.5"_s, Direction::PaidOut);
    rule.entry.notes = u"'; drop table tblData; --"_s;
    rule.unit = RepeatUnit::Months;
    rule.dayOfMonth = dayOfMonth;
    rule.start = day(start);
    return rule;
}

RepeatRule fortnightlyPay(const char* start)
{
    RepeatRule rule;
    rule.entry = sampleEntry(u"Pay"_s, u"800"_s);
    rule.unit = RepeatUnit::Weeks;
    rule.every = 2;
    rule.start = day(start);
    return rule;
}

// Every field of a rule, for comparing what comes back with what went in.
QString fields(const RepeatRule& r)
{
    const Entry& e = r.entry;
    return QStringList{QString::number(r.id),
                       e.reason,
                       e.fromCompany,
                       e.toCompany,
                       e.amountText,
                       e.paymentMethod,
                       e.notes,
                       directionText(e.direction),
                       describe(r),
                       r.start.toString(Qt::ISODate),
                       r.paused ? u"paused"_s : u"active"_s}
        .join(u" | ");
}

// "rule:date" for each occurrence.
QString listed(const std::vector<Occurrence>& occurrences)
{
    QStringList texts;
    for (const Occurrence& o : occurrences)
        texts.append(QString::number(o.ruleId) + u':' + o.entry.date.toString(Qt::ISODate));
    return texts.join(u' ');
}

// The occurrences recorded, as "rule:date:entry" with "skipped" for no entry.
QString records()
{
    Recordset rs;
    rs.open(u"select ruleid, occurred, entryid from tblRepeatPosted order by occurred, ruleid"_s, Conn());
    QStringList texts;
    for (; !rs.eof(); rs.moveNext())
        texts.append(rs.field(u"ruleid").toString() + u':' + rs.field(u"occurred").toString() + u':' +
                     (rs.field(u"entryid").isNull() ? u"skipped"_s : rs.field(u"entryid").toString()));
    return texts.join(u' ');
}

QByteArray fileHash(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
                                          : QByteArray();
}

// Over the program's connection of the moment.
RepeatStore store()
{
    return RepeatStore(Conn());
}

// The cases every engine passes alike.
class RepeatStoreTest : public testing::TestWithParam<LedgerKind>
{
protected:
    void SetUp() override { ledger = openFreshLedger(GetParam()); }

    // The connection string of the test's ledger.
    QString ledger;
};

// The cases that look into the ledger file itself or use its engine's triggers.
class RepeatStoreFileTest : public testing::Test
{
protected:
    void SetUp() override { path = openFreshLedger(); }

    QString path;
};

} // namespace

TEST_P(RepeatStoreTest, RulesComeBackAsTheyWentInAndGoWithoutTheirEntries)
{
    RepeatRule rent = monthlyRent("2025-01-31", 31);
    RepeatRule pay = fortnightlyPay("2025-01-03");
    pay.end = RepeatEnd::AfterCount;
    pay.endCount = 10;
    rent.id = store().add(rent);
    pay.id = store().add(pay);
    EXPECT_EQ(pay.id, rent.id + 1);
    ASSERT_EQ(store().rules().size(), 2u);
    rent.entry.amountText = u"1234.5"_s; // kept as a number, shown without grouping
    EXPECT_EQ(fields(store().rules()[0]), fields(rent));
    EXPECT_EQ(fields(store().rules()[1]), fields(pay));

    rent.unit = RepeatUnit::Years;
    rent.dayOfMonth = RepeatRule::lastDayOfMonth;
    rent.end = RepeatEnd::OnDate;
    rent.endDate = day("2030-01-31");
    rent.entry.reason = u"Insurance"_s;
    store().update(rent);
    store().setPaused(pay.id, true);
    pay.paused = true;
    EXPECT_EQ(fields(store().rules()[0]), fields(rent));
    EXPECT_EQ(fields(store().rules()[1]), fields(pay));

    // Deleting a rule forgets its occurrences but keeps the entries it posted.
    store().post(store().dueOccurrences(day("2025-03-01")));
    const int entries = entryCount();
    ASSERT_GT(entries, 0);
    store().remove(rent.id);
    ASSERT_EQ(store().rules().size(), 1u);
    EXPECT_EQ(store().rules()[0].id, pay.id);
    EXPECT_EQ(entryCount(), entries);
    EXPECT_EQ(records(), QString());
}

TEST_P(RepeatStoreTest, WhatIsDueFollowsTheCalendarAndWhatWasDealtWith)
{
    const qint64 rent = store().add(monthlyRent("2024-11-30", 31));
    const qint64 pay = store().add(fortnightlyPay("2024-12-20"));
    const auto first = [&](const std::vector<Occurrence>& due) { return std::vector<Occurrence>{due.front()}; };
    const struct
    {
        const char* today;
        std::function<void(const std::vector<Occurrence>&)> then;
        QString expected;
    } steps[] = {
        {"2024-11-29", {}, u""_s},
        {"2024-11-30", {}, u"%1:2024-11-30"_s.arg(rent)},
        {"2025-01-03", [&](const auto& due) { store().post(first(due)); },
         u"%1:2024-11-30 %2:2024-12-20 %1:2024-12-31 %2:2025-01-03"_s.arg(rent).arg(pay)},
        {"2025-01-03", [&](const auto& due) { store().skip(first(due)); },
         u"%2:2024-12-20 %1:2024-12-31 %2:2025-01-03"_s.arg(rent).arg(pay)},
        {"2025-01-03", [&](const auto&) { store().setPaused(pay, true); },
         u"%1:2024-12-31 %2:2025-01-03"_s.arg(rent).arg(pay)},
        {"2025-03-01", [&](const auto&) { store().setPaused(pay, false); },
         u"%1:2024-12-31 %1:2025-01-31 %1:2025-02-28"_s.arg(rent)},
        {"2025-03-01",
         {},
         u"%1:2024-12-31 %2:2025-01-03 %2:2025-01-17 %1:2025-01-31 %2:2025-01-31 %2:2025-02-14 %1:2025-02-28 "
         "%2:2025-02-28"_s.arg(rent)
             .arg(pay)},
    };
    for (const auto& step : steps) {
        const ScopedToday calendar(day(step.today));
        const std::vector<Occurrence> due = store().dueOccurrences(today());
        EXPECT_EQ(listed(due), step.expected) << step.today;
        if (step.then)
            step.then(due);
    }
    EXPECT_EQ(records(), u"%1:2024-11-30:1 %2:2024-12-20:skipped"_s.arg(rent).arg(pay));
}

TEST_P(RepeatStoreTest, EachOccurrenceIsPostedOnceWhateverCameFirst)
{
    const struct
    {
        const char* before;
        std::function<void(RepeatStore&, const std::vector<Occurrence>&)> happened;
        int added;
    } cases[] = {
        {"nothing", [](auto&, const auto&) {}, 3},
        {"the same post", [](auto& s, const auto& due) { s.post(due); }, 0},
        {"a skip", [](auto& s, const auto& due) { s.skip(due); }, 0},
        {"the first posted from another connection",
         [this](auto&, const auto& due) {
             Connection other;
             other.open(ledger);
             RepeatStore(other).post({due.front()});
         },
         2},
        {"the rule deleted", [](auto& s, const auto& due) { s.remove(due.front().ruleId); }, 0},
    };
    for (const auto& c : cases) {
        ledger = openFreshLedger(GetParam());
        RepeatStore fresh(Conn());
        fresh.add(fortnightlyPay("2025-01-03"));
        const std::vector<Occurrence> due = fresh.dueOccurrences(day("2025-01-31"));
        ASSERT_EQ(due.size(), 3u);
        c.happened(fresh, due);
        const int entries = entryCount();
        EXPECT_EQ(fresh.post(due).size(), c.added) << c.before;
        EXPECT_EQ(entryCount(), entries + c.added) << c.before;
        EXPECT_TRUE(fresh.dueOccurrences(day("2025-01-31")).empty()) << c.before;
    }
}

TEST_F(RepeatStoreFileTest, AFailedPostLeavesNeitherEntriesNorRecords)
{
    store().add(fortnightlyPay("2025-01-03"));
    Conn().execute(u"create trigger refuse before insert on tblData when new.reason = 'boom' "
                   "begin select raise(abort, 'refused'); end"_s);
    std::vector<Occurrence> due = store().dueOccurrences(day("2025-01-31"));
    ASSERT_EQ(due.size(), 3u);
    for (const auto& spoil : {+[](Entry& e) { e.reason = u"boom"_s; }, +[](Entry& e) { e.amountText = u"x"_s; }}) {
        std::vector<Occurrence> spoilt = due;
        spoil(spoilt[2].entry);
        EXPECT_THROW(store().post(spoilt), StoreError);
        EXPECT_EQ(entryCount(), 0);
        EXPECT_EQ(records(), QString());
        EXPECT_EQ(store().dueOccurrences(day("2025-01-31")).size(), 3u);
    }
    // And the ledger takes the post again, with an amount edited before posting.
    due[1].entry.amountText = u"812.25"_s;
    EXPECT_EQ(store().post(due).size(), 3);
    EXPECT_EQ(snapshotRows(path, "SELECT group_concat(amount, ' ') FROM tblData"),
              QStringList{u"text:800.0 812.25 800.0"_s});
}

TEST_P(RepeatStoreTest, TwoConnectionsPostingTheSameOccurrencesAtOnceAddEachOnce)
{
    store().add(fortnightlyPay("2020-01-03"));
    // Each round, both connections find the same occurrences due and post them at the same moment.
    int occurrences = 0;
    for (const char* upTo : {"2020-06-30", "2021-12-31", "2022-01-14", "2024-12-31"}) {
        std::latch together(2);
        std::vector<QList<qint64>> added(2);
        std::vector<std::string> failures(2);
        const auto poster = [&](size_t i) {
            try {
                Connection connection;
                connection.open(ledger);
                RepeatStore own(connection);
                const std::vector<Occurrence> due = own.dueOccurrences(day(upTo));
                together.arrive_and_wait();
                added[i] = own.post(due);
            } catch (const StoreError& error) {
                failures[i] = error.what();
            }
        };
        std::thread a(poster, 0), b(poster, 1);
        a.join();
        b.join();
        EXPECT_EQ(failures, std::vector<std::string>(2)) << upTo;
        const int due = int(occurrencesUpTo(store().rules()[0], day(upTo)).size()) - occurrences;
        EXPECT_EQ(added[0].size() + added[1].size(), due) << upTo;
        occurrences += due;
    }
    // Each recorded once, with an entry of its own.
    EXPECT_EQ(entryCount(), occurrences);
    Recordset rs;
    rs.open(u"select count(*) as n, count(distinct entryid) as entries, "
            "count(entryid) filter (where entryid in (select id from tblData)) as posted from tblRepeatPosted"_s,
            Conn());
    EXPECT_EQ(QStringList({rs.field(u"n").toString(), rs.field(u"entries").toString(), rs.field(u"posted").toString()}),
              QStringList(3, QString::number(occurrences)));
}

TEST_F(RepeatStoreFileTest, ALedgerFromBeforeRepeatingEntriesGetsTheirTablesOnOpening)
{
    ConnSlot().reset();
    runElsewhere(path, u"drop table tblRepeat; drop table tblRepeatPosted;"_s);
    const QString tables =
        u"select group_concat(name, ' ') from "
        "(select name from sqlite_master where type = 'table' and name like 'tblRepeat%' order by name)"_s;
    EXPECT_EQ(snapshotRows(path, tables.toUtf8()), QStringList{u"null"_s});
    ConnSlot() = std::make_unique<Connection>();
    Conn().open(connectionString(SpecialFolderPath(35)));
    EXPECT_EQ(snapshotRows(path, tables.toUtf8()), QStringList{u"text:tblRepeat tblRepeatPosted"_s});
    RepeatStore(Conn()).add(fortnightlyPay("2025-01-03"));
    EXPECT_EQ(RepeatStore(Conn()).dueOccurrences(day("2025-01-03")).size(), 1u);

    // Once they are there, opening writes nothing.
    ConnSlot().reset();
    const QByteArray before = fileHash(path);
    Connection again;
    again.open(connectionString(SpecialFolderPath(35)));
    again.close();
    EXPECT_EQ(fileHash(path), before);
}

TEST_P(RepeatStoreTest, TenYearsOfAMonthlyRulePostedAtOnceAreExactly120Entries)
{
    store().add(monthlyRent("2015-01-31", 31));
    const std::vector<Occurrence> due = store().dueOccurrences(day("2024-12-31"));
    ASSERT_EQ(due.size(), 120u);
    EXPECT_EQ(store().post(due).size(), 120);
    EXPECT_EQ(entryCount(), 120);
    EXPECT_TRUE(store().dueOccurrences(day("2024-12-31")).empty());
}

TEST_P(RepeatStoreTest, AnUndonePostingTakesItsRecordAlongSoItsOccurrencesFallDueAgain)
{
    store().add(monthlyRent("2024-10-31", 31));
    const std::vector<Occurrence> due = store().dueOccurrences(day("2024-12-31"));
    ASSERT_EQ(due.size(), 3u);
    store().post({due.front()});
    const auto ledgerRows = [&] {
        return snapshotElsewhere(ledger) +
               snapshotElsewhere(ledger, "SELECT * FROM tblRepeatPosted ORDER BY ruleid, occurred");
    };
    const LedgerSnapshot before = ledgerRows();

    ChangeRecorder recorder(Conn());
    // The first is posted already and adds nothing.
    QList<qint64> posted = store().post(due);
    const QByteArray changes = recorder.changes();
    const LedgerSnapshot after = ledgerRows();
    QList<qint64> changed = changedIds(changes);
    std::sort(posted.begin(), posted.end());
    std::sort(changed.begin(), changed.end());
    EXPECT_EQ(changed, posted);

    applyChanges(Conn(), reversed(changes));
    EXPECT_EQ(ledgerRows(), before);
    EXPECT_EQ(listed(store().dueOccurrences(day("2024-12-31"))), listed({due[1], due[2]}));
    applyChanges(Conn(), changes);
    EXPECT_EQ(ledgerRows(), after);
    EXPECT_TRUE(store().dueOccurrences(day("2024-12-31")).empty());
}

INSTANTIATE_TEST_SUITE_P(Engines, RepeatStoreTest, testing::Values(LedgerKind::File, LedgerKind::Server),
                         ledgerKindName);
