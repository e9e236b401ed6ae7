// The ledger store over a real ledger, a file and a server database alike: dialect, round trips, failures.
#include "base/paths.h"
#include "money/numberparser.h"
#include "store/changeset.h"
#include "store/dialect.h"
#include "store/entryimport.h"
#include "store/ledgerentries.h"
#include "store/programconnection.h"
#include "store/recordset.h"
#include "store/reportstaging.h"
#include "store/statements.h"
#include "store/storeerror.h"
#include "support/ledgerelsewhere.h"
#include "support/ledgerfixture.h"
#include "support/ledgerkinds.h"
#include "support/printers.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

const QStringList hostileTexts = {
    u"O'Brien's rent"_s,
    u"Invoice #01/02/2003#"_s,
    u"CDate(#01/02/2003#)"_s,
    u"-- not a comment"_s,
    u"'; drop table tblData; --"_s,
    u"[Date]"_s,
    u"/* star */"_s,
    u"\"double\" `back`"_s,
    u"line one\nline two\r\nthree"_s,
    u"Zoë — naïve ☕ 🎸 שלום"_s,
    u"CDbl('1')"_s,
    u"tab\there"_s,
};

struct StoredEntry
{
    QVariant date, reason, from, to, amount, method, notes, type;
};

StoredEntry readEntry(qint64 id)
{
    Recordset rs;
    rs.open(selectEntry(QString::number(id)), Conn());
    EXPECT_FALSE(rs.eof());
    return {rs.field(u"datercvd"), rs.field(u"reason"),        rs.field(u"fromcompany"), rs.field(u"tocompany"),
            rs.field(u"amount"),   rs.field(u"paymentmethod"), rs.field(u"notes"),       rs.field(u"paymenttype")};
}

qint64 lastId()
{
    Recordset rs;
    rs.open(u"select max(id) as m from tblData"_s, Conn());
    return rs.field(u"m").toLongLong();
}

// The cases every engine passes alike.
class Store : public testing::TestWithParam<LedgerKind>
{
protected:
    void SetUp() override { connection = openFreshLedger(GetParam()); }
    QString connection;
};

// The cases that rely on what only the ledger file's engine has: typeof, rowid, its triggers, undo.
class FileStore : public testing::Test
{
protected:
    void SetUp() override { openFreshLedger(); }
};

} // namespace

TEST(Dialect, RewritesDateLiteralsOnlyOutsideQuotedText)
{
    EXPECT_EQ(translateDialect(u"values (CDate(#02/01/2022#),'#02/01/2022#')"),
              u"values (CDate('2022-02-01'),'#02/01/2022#')");
    EXPECT_EQ(translateDialect(u"x = '' || #7/5/2021#"), u"x = '' || '2021-07-05'");
    EXPECT_EQ(translateDialect(u"'it''s #01/01/2001#' -- #01/01/2001#\n[#01/01/2001#]"),
              u"'it''s #01/01/2001#' -- #01/01/2001#\n[#01/01/2001#]");
    EXPECT_EQ(translateDialect(u"select 1 # 2"), u"select 1 # 2");
}

TEST(Dialect, RefusesDatesThatDoNotExist)
{
    EXPECT_THROW(translateDialect(u"CDate(#02/30/2022#)"), StoreError);
    EXPECT_THROW(translateDialect(u"CDate(#13/01/2022#)"), StoreError);
}

TEST(ConnectionString, KeepsItsFormAndNamesTheLedger)
{
    const QString text = connectionString(u"/home/a;b/.local/share"_s);
    EXPECT_EQ(text, u"provider=microsoft.jet.oledb.4.0;data source=/home/a;b/.local/share/Marrowfen/Quorvane/"
                    "dbData.mdb;JET OLEDB:Database Password=");
    EXPECT_TRUE(text.endsWith(u"Database Password="));
    EXPECT_EQ(dataSourcePath(text), u"/home/a;b/.local/share/Marrowfen/Quorvane/dbData.mdb");
    EXPECT_EQ(dataSourcePath(u"data source=/x/y.mdb;other=1"_s), u"/x/y.mdb");
}

TEST(ConnectionOpen, NeverCreatesAMissingLedger)
{
    QTemporaryDir dir;
    const QString missing = dir.path() + u"/nothing.mdb"_s;
    Connection connection;
    try {
        connection.open(u"data source="_s + missing + u";JET OLEDB:Database Password="_s);
        FAIL() << "opened a missing ledger";
    } catch (const StoreError& e) {
        EXPECT_NE(QString::fromUtf8(e.what()).indexOf(u"Could not find file"), -1);
    }
    EXPECT_EQ(connection.state(), 0);
    EXPECT_FALSE(QFile::exists(missing));
}

TEST(ConnectionOpen, RefusesAFileThatIsNoDatabase)
{
    QTemporaryDir dir;
    const QString junk = dir.path() + u"/junk.mdb"_s;
    QFile file(junk);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, 'x'));
    file.close();
    Connection connection;
    EXPECT_THROW(connection.open(u"data source="_s + junk + u";"_s), StoreError);
    EXPECT_EQ(connection.state(), 0);
}

TEST_P(Store, StateAndClose)
{
    EXPECT_EQ(Conn().state(), 1);
    Conn().close();
    EXPECT_EQ(Conn().state(), 0);
    EXPECT_THROW(Conn().execute(selectAllEntries()), StoreError);
}

TEST_P(Store, HostileTextsRoundTripInEveryColumnUnderBothLocales)
{
    for (const char* locale : {"en_US", "de_DE"}) {
        QLocale::setDefault(QLocale(QString::fromLatin1(locale)));
        for (const QString& text : hostileTexts) {
            Entry e = sampleEntry(text, locale == QByteArray("de_DE") ? u"1234,5"_s : u"1234.5"_s, Direction::PaidOut);
            e.fromCompany = text + u"!"_s;
            e.toCompany = u"!"_s + text;
            e.paymentMethod = text;
            e.notes = text + text;
            Conn().execute(insertEntry(e));
            const StoredEntry stored = readEntry(lastId());
            EXPECT_EQ(stored.reason.toString(), text) << locale;
            EXPECT_EQ(stored.from.toString(), text + u"!"_s) << locale;
            EXPECT_EQ(stored.to.toString(), u"!"_s + text) << locale;
            EXPECT_EQ(stored.method.toString(), text) << locale;
            EXPECT_EQ(stored.notes.toString(), text + text) << locale;
            EXPECT_EQ(stored.amount.toDouble(), 1234.5) << locale;
            EXPECT_EQ(stored.date.toDate(), QDate(2021, 3, 5)) << locale;
            EXPECT_EQ(stored.type.toInt(), 2);

            // Update, copy and report staging carry the same texts.
            e.reason = u"x"_s + text;
            Conn().execute(updateEntry(e, QString::number(lastId())));
            EXPECT_EQ(readEntry(lastId()).reason.toString(), u"x"_s + text);
            Conn().execute(insertCopy(e));
            EXPECT_EQ(readEntry(lastId()).notes.toString(), text + text);
            Conn().execute(insertReportPaid(e.date, e.amountText, text, text));
        }
    }
    Recordset rs;
    rs.open(selectReport(), Conn());
    int rows = 0;
    for (; !rs.eof(); rs.moveNext(), ++rows) {
        EXPECT_EQ(rs.field(u"Payer").toString(), rs.field(u"PAYEE").toString());
        EXPECT_EQ(rs.field(u"valueout").toDouble(), 1234.5);
        EXPECT_EQ(rs.field(u"ValueIn").toDouble(), 0.0);
        EXPECT_EQ(rs.field(u"Date").toDate(), QDate(2021, 3, 5));
    }
    EXPECT_EQ(rows, 2 * hostileTexts.size());
}

// The report's staging rows bound to one compiled insert are the rows the statement texts write,
// value for value and type for type; what the text form refuses, the bound form refuses alike.
TEST_F(FileStore, BoundReportStagingWritesWhatTheStatementTextsWrite)
{
    const auto stagedRows = [] {
        Recordset rs;
        rs.open(u"select [Date], typeof([Date]) as dt, ValueIn, typeof(ValueIn) as it, ValueOut, "
                "typeof(ValueOut) as ot, Payer, Payee from tblReport order by rowid"_s,
                Conn());
        QStringList rows;
        for (; !rs.eof(); rs.moveNext()) {
            QStringList cells;
            for (int i = 0; i < 8; ++i)
                cells << rs.value(i).toString();
            rows << cells.join(u'|');
        }
        Conn().execute(clearReport());
        return rows;
    };
    const QList<double> amounts = {0.0, 0.1, 1234.5, 1e15, 5e-7, 123456789.123};
    for (const char* locale : {"en_US", "de_DE"}) {
        QLocale::setDefault(QLocale(QString::fromLatin1(locale)));
        const QList<QDate> dates = {QDate(2021, 3, 5), QDate(1, 1, 1), QDate(9999, 12, 31), QDate(1900, 2, 28)};
        for (int i = 0; i < hostileTexts.size(); ++i) {
            const QDate date = dates[i % dates.size()];
            const double amount = amounts[i % amounts.size()];
            const QString& text = hostileTexts[i];
            Conn().execute(insertReportReceived(date, amountText(amount), text, text + u"!"_s));
            Conn().execute(insertReportPaid(date, amountText(amount), u"!"_s + text, text));
            const QStringList written = stagedRows();
            ReportStaging staging(Conn());
            staging.addReceived(date, amount, text, text + u"!"_s);
            staging.addPaid(date, amount, u"!"_s + text, text);
            EXPECT_EQ(stagedRows(), written) << locale << ' ' << text.toStdString();
        }
    }

    ReportStaging staging(Conn());
    try {
        Conn().execute(insertReportReceived(QDate(), u"1"_s, u"a"_s, u"b"_s));
        FAIL() << "the text form took a missing date";
    } catch (const StoreError& textError) {
        try {
            staging.addReceived(QDate(), 1, u"a"_s, u"b"_s);
            FAIL() << "the bound form took a missing date";
        } catch (const StoreError& boundError) {
            EXPECT_STREQ(boundError.what(), textError.what());
        }
    }
    EXPECT_TRUE(stagedRows().isEmpty());

    // A staging table that cannot take rows fails at the row, with the engine's message.
    Conn().execute(u"drop table tblReport"_s);
    EXPECT_THROW(staging.addPaid(QDate(2024, 1, 2), 3, u"a"_s, u"b"_s), StoreError);
}

TEST_F(FileStore, AddedEntriesAreAllOrNone)
{
    const auto newEntry = [](const QString& reason, double amount, Direction direction = Direction::Received) {
        return NewEntry{QDate(2024, 2, 29), amount, direction, reason, u"From ' me"_s, u"To"_s, u"Card"_s, u"=1+1"_s};
    };
    addEntry(sampleEntry(u"Old"_s, u"1"_s));
    const QList<qint64> ids = addEntries(Conn(), {newEntry(u"A"_s, 12.5), newEntry(u"B"_s, 0.1, Direction::PaidOut)});
    ASSERT_EQ(ids.size(), 2);
    EXPECT_EQ(ids[1], ids[0] + 1);
    const StoredEntry b = readEntry(ids[1]);
    EXPECT_EQ(b.date.toDate(), QDate(2024, 2, 29));
    EXPECT_EQ(b.amount.toDouble(), 0.1);
    EXPECT_EQ(b.type.toInt(), 2);
    EXPECT_EQ(b.from.toString(), u"From ' me"_s);
    EXPECT_EQ(b.notes.toString(), u"=1+1"_s);

    // One row the ledger refuses: none of them stays, and nothing is left to undo.
    Conn().execute(u"create trigger refuse before insert on tblData when new.reason = 'boom' "
                   "begin select raise(abort, 'refused'); end"_s);
    ChangeRecorder recorder(Conn());
    EXPECT_THROW(addEntries(Conn(), {newEntry(u"C"_s, 1), newEntry(u"boom"_s, 2), newEntry(u"D"_s, 3)}), StoreError);
    EXPECT_EQ(entryCount(), 3);
    EXPECT_TRUE(recorder.changes().isEmpty());
    // And the ledger takes writes again.
    EXPECT_EQ(addEntries(Conn(), {newEntry(u"E"_s, 4)}).size(), 1);
}

TEST_P(Store, TheSameEntryIsFoundWhateverItsCaseSpacesAndFractionsOfACent)
{
    const NewEntry stored{QDate(2024, 3, 1), 19.99, Direction::PaidOut, u"Coffee"_s, u"Me"_s, u"Roastery"_s, {}, {}};
    addEntries(Conn(),
               {stored, {QDate(2024, 5, 1), 19.99, Direction::PaidOut, u"Coffee"_s, u"Me"_s, u"Roastery"_s, {}, {}}});
    const LedgerEntryIndex march(Conn(), QDate(2024, 3, 1), QDate(2024, 3, 31));
    NewEntry same = stored;
    same.reason = u"  COFFEE "_s;
    same.amount = 19.990000001;
    same.notes = u"other notes"_s;
    EXPECT_TRUE(march.contains(same));
    same.date = QDate(2024, 5, 1);
    EXPECT_FALSE(march.contains(same)) << "only the entries dated within the range";
    for (auto change : {+[](NewEntry& e) { e.direction = Direction::Received; }, +[](NewEntry& e) { e.amount = 19.98; },
                        +[](NewEntry& e) { e.date = e.date.addDays(1); }, +[](NewEntry& e) { e.toCompany = u"X"_s; },
                        +[](NewEntry& e) { e.fromCompany = u"X"_s; }, +[](NewEntry& e) { e.reason = u"Tea"_s; }}) {
        NewEntry other = stored;
        change(other);
        EXPECT_FALSE(march.contains(other));
    }
}

TEST_F(FileStore, AnEntryStoredWithATimeOfDayIsFoundOnTheRangesLastDay)
{
    const NewEntry stored{QDate(2024, 3, 31), 5, Direction::Received, u"Tea"_s, u"Me"_s, u"Shop"_s, {}, {}};
    const qint64 id = addEntries(Conn(), {stored}).front();
    for (const QString& text : {u"2024-03-31 09:30"_s, u"2024-03-31T09:30:00"_s, u"2024-03-31"_s}) {
        Conn().execute(u"update tblData set datercvd = '"_s + text + u"' where id = "_s + QString::number(id));
        EXPECT_TRUE(LedgerEntryIndex(Conn(), QDate(2024, 3, 1), QDate(2024, 3, 31)).contains(stored))
            << text.toStdString();
        EXPECT_FALSE(LedgerEntryIndex(Conn(), QDate(2024, 3, 1), QDate(2024, 3, 30)).contains(stored))
            << text.toStdString();
    }
}

TEST_P(Store, CdblReadsTheUserLocale)
{
    QLocale::setDefault(QLocale(u"de_DE"_s));
    Conn().execute(insertEntry(sampleEntry(u"a"_s, u"1234,5"_s)));
    EXPECT_EQ(readEntry(lastId()).amount.toDouble(), 1234.5);
    Conn().execute(insertEntry(sampleEntry(u"b"_s, u"-0,01"_s)));
    EXPECT_EQ(readEntry(lastId()).amount.toDouble(), -0.01);

    for (const QString& bad : {u"abc"_s, u"nan"_s, u"inf"_s, u"1e999"_s, u""_s}) {
        EXPECT_THROW(Conn().execute(insertEntry(sampleEntry(u"c"_s, bad))), StoreError) << bad.toStdString();
    }
    EXPECT_EQ(readEntry(lastId()).reason.toString(), u"b");
}

TEST_P(Store, IdsAreNeverReused)
{
    addEntry(sampleEntry(u"same"_s, u"1"_s));
    const qint64 first = lastId();
    addEntry(sampleEntry(u"same"_s, u"1"_s));
    const qint64 second = lastId();
    EXPECT_NE(first, second);
    Conn().execute(deleteEntry(QString::number(second)));
    addEntry(sampleEntry(u"same"_s, u"1"_s));
    EXPECT_GT(lastId(), second);
}

TEST_P(Store, EmptyNotesAreStoredAsEmptyText)
{
    addEntry(sampleEntry(u"r"_s, u"5"_s));
    const QVariant notes = readEntry(lastId()).notes;
    EXPECT_FALSE(notes.isNull());
    EXPECT_EQ(notes.toString(), u"");
}

TEST_P(Store, RefusesMoreThanOneStatement)
{
    addEntry(sampleEntry(u"keep"_s, u"1"_s));
    EXPECT_THROW(Conn().execute(u"delete from tblData; delete from tblReport"_s), StoreError);
    EXPECT_THROW(Conn().execute(u"select 1; select 2;"_s), StoreError);
    Recordset rs;
    EXPECT_THROW(rs.open(u"select 1; delete from tblData"_s, Conn()), StoreError);
    EXPECT_NO_THROW(Conn().execute(u"delete from tblReport; "_s));
    EXPECT_NO_THROW(Conn().execute(u"delete from tblReport -- trailing comment"_s));
    EXPECT_EQ(readEntry(lastId()).reason.toString(), u"keep");
}

TEST_P(Store, EngineMessagesReachTheCaller)
{
    try {
        Conn().execute(u"select * from tblNothing"_s);
        FAIL();
    } catch (const StoreError& e) {
        EXPECT_EQ(QString::fromUtf8(e.what()), GetParam() == LedgerKind::File
                                                   ? u"no such table: tblNothing"_s
                                                   : u"relation \"tblnothing\" does not exist"_s);
    }
    Recordset rs;
    rs.open(selectAllEntries(), Conn());
    EXPECT_TRUE(rs.eof());
    EXPECT_THROW(rs.field(u"id"), StoreError);
    EXPECT_THROW(rs.moveNext(), StoreError);
    rs.close();
    EXPECT_THROW(rs.eof(), StoreError);
}

TEST_P(Store, FieldsByNameIgnoreCaseAndUnknownNamesFail)
{
    addEntry(sampleEntry(u"r"_s, u"5"_s));
    Recordset rs;
    rs.open(selectAllEntries(), Conn());
    EXPECT_EQ(rs.field(u"REASON").toString(), u"r");
    EXPECT_EQ(rs.field(u"Amount").toDouble(), 5.0);
    EXPECT_THROW(rs.field(u"nosuch"), StoreError);
}

TEST_P(Store, WritesAreOnDiskWhenExecuteReturns)
{
    addEntry(sampleEntry(u"durable"_s, u"7"_s));
    Connection second;
    second.open(connection);
    Recordset rs;
    rs.open(u"select reason from tblData"_s, second);
    ASSERT_FALSE(rs.eof());
    EXPECT_EQ(rs.field(u"reason").toString(), u"durable");
}

TEST_P(Store, TheDoorAddsReadsUpdatesCopiesAndRemovesEntries)
{
    const LedgerEntries ledger(Conn());
    Entry e = sampleEntry(u"O'Brien's rent"_s, u"1234.5"_s, Direction::PaidOut);
    e.notes = u"line one\nline two"_s;
    ledger.add(e);
    const QString id = QString::number(lastId());
    const auto readBack = [&](const QString& which) {
        EntryRows rows;
        ledger.readOne(rows, which);
        return rows.atEnd() ? std::optional<Entry>() : std::optional(rows.entry());
    };
    std::optional<Entry> stored = readBack(id);
    ASSERT_TRUE(stored);
    EXPECT_EQ(std::tie(stored->date, stored->reason, stored->amountText, stored->notes, stored->direction),
              std::tie(e.date, e.reason, e.amountText, e.notes, e.direction));

    e.direction = Direction::Received;
    e.amountText = u"7"_s;
    ledger.update(e, id);
    EXPECT_EQ(readBack(id)->direction, Direction::Received);
    ledger.addCopy(*readBack(id));
    EXPECT_EQ(ledger.count(), 2);
    EXPECT_EQ(readBack(QString::number(lastId()))->amountText, u"7"_s);
    ledger.remove(id);
    EXPECT_FALSE(readBack(id)) << "no row: the window keeps its add-mode values";
    EXPECT_EQ(ledger.count(), 1);
}

TEST_P(Store, EntryRowsNameTheColumnsTheLedgerLacks)
{
    addEntry(sampleEntry(u"a"_s, u"1"_s));
    Conn().execute(u"alter table tblData drop column notes"_s);
    Conn().execute(u"alter table tblData drop column paymentmethod"_s);
    EntryRows rows;
    LedgerEntries(Conn()).readAll(rows);
    EXPECT_FALSE(rows.has(EntryField::Notes));
    EXPECT_TRUE(rows.has(EntryField::Reason));
    try {
        rows.requireEveryColumn();
        ADD_FAILURE() << "no complaint";
    } catch (const StoreError& error) {
        EXPECT_EQ(QString::fromUtf8(error.what()), u"The ledger table has no column paymentmethod, notes."_s);
    }
    EXPECT_THROW(rows.text(EntryField::Notes), StoreError);
    EXPECT_EQ(rows.text(EntryField::Reason), u"a"_s);
}

TEST_P(Store, ACheckedUpdateWritesOnlyWhileTheEntryIsAsItWasRead)
{
    const LedgerEntries ledger(Conn());
    ledger.add(sampleEntry(u"Rent"_s, u"10"_s));
    const QString id = QString::number(lastId());
    const auto imageOf = [&] {
        EntryRows rows;
        ledger.readOne(rows, id);
        return rows.image();
    };
    const EntryImage loaded = imageOf();
    Connection other;
    other.open(connection);
    Entry theirs = sampleEntry(u"Rent"_s, u"12.5"_s);
    theirs.notes = u"theirs"_s;
    LedgerEntries(other).update(theirs, id);

    Entry mine = sampleEntry(u"Mine"_s, u"99"_s);
    try {
        ledger.updateUnchanged(mine, id, loaded);
        ADD_FAILURE() << "saved over another program's change";
    } catch (const EntryChanged& change) {
        EXPECT_EQ(change.fields, (QList<EntryField>{EntryField::Amount, EntryField::Notes}));
        EXPECT_EQ(change.before[EntryField::Amount], QVariant(10.0));
        EXPECT_EQ(change.now[EntryField::Amount], QVariant(12.5));
        EXPECT_EQ(change.now[EntryField::Notes], QVariant(u"theirs"_s));
        EXPECT_TRUE(change.now == imageOf());
    }
    EXPECT_EQ(readEntry(lastId()).amount.toDouble(), 12.5);
    EXPECT_EQ(readEntry(lastId()).reason.toString(), u"Rent"_s);

    // Read anew, the same save goes through.
    ledger.updateUnchanged(mine, id, imageOf());
    EXPECT_EQ(readEntry(lastId()).reason.toString(), u"Mine"_s);
    EXPECT_EQ(ledger.count(), 1);
}

TEST_P(Store, AnEntryDeletedElsewhereIsNeitherUpdatedNorDeletedAgain)
{
    const LedgerEntries ledger(Conn());
    ledger.add(sampleEntry(u"Rent"_s, u"10"_s));
    ledger.add(sampleEntry(u"Kept"_s, u"20"_s));
    const QString id = QString::number(lastId() - 1);
    EntryRows rows;
    ledger.readOne(rows, id);
    const EntryImage loaded = rows.image();
    rows.close();
    Connection other;
    other.open(connection);
    LedgerEntries(other).remove(id);

    EXPECT_THROW(ledger.updateUnchanged(sampleEntry(u"Mine"_s, u"1"_s), id, loaded), EntryGone);
    EXPECT_THROW(ledger.remove(id), EntryGone);
    EXPECT_EQ(ledger.count(), 1);
    EXPECT_EQ(readEntry(lastId()).reason.toString(), u"Kept"_s);
    // The refusals ended their batches: the ledger takes writes again.
    ledger.add(sampleEntry(u"After"_s, u"1"_s));
    EXPECT_EQ(ledger.count(), 2);
}

namespace {

// Undo on both engines: recorded changes reversed and made again, and refused where the ledger
// changed since.
class StoreUndo : public Store
{
protected:
    // Stores an entry through a bound insert, so any double reaches the ledger as it is.
    qint64 storeEntry(double amount, const QString& text, QDate date)
    {
        const std::unique_ptr<EngineStatement> insert =
            Conn().engine().prepare("INSERT INTO tblData (datercvd, reason, fromcompany, tocompany, amount, "
                                    "paymentmethod, notes, paymenttype) VALUES (?, ?, ?, NULL, ?, ?, ?, 2)");
        insert->bindDate(1, date);
        insert->bindText(2, text);
        insert->bindText(3, text + u"!"_s);
        insert->bindDouble(4, amount);
        insert->bindText(5, u""_s);
        insert->bindText(6, text + text);
        insert->run();
        return lastId();
    }
    LedgerSnapshot ledger() const { return snapshotElsewhere(connection); }
    void elsewhere(const QString& statement) const { runElsewhereOn(connection, statement); }
    // Records what `command` changes.
    static QByteArray recorded(const std::function<void()>& command)
    {
        ChangeRecorder recorder(Conn());
        command();
        return recorder.changes();
    }
};

} // namespace

TEST_P(StoreUndo, UndoAndRedoGiveBackEveryRowAndColumnExactly)
{
    const double amounts[] = {0.30000000000000004,
                              -0.0,
                              std::numeric_limits<double>::denorm_min(),
                              std::numeric_limits<double>::max(),
                              -1e-300,
                              1234.5,
                              std::numeric_limits<double>::infinity(),
                              -std::numeric_limits<double>::infinity(),
                              std::numeric_limits<double>::quiet_NaN()};
    for (int i = 0; i < int(std::size(amounts)); ++i)
        storeEntry(amounts[i], hostileTexts[i], QDate(1900 + 17 * i, 1 + i, 28));
    const LedgerSnapshot before = ledger();
    // A ledger file keeps a negative zero as 0; a server keeps its sign.
    if (GetParam() == LedgerKind::Server) {
        ASSERT_TRUE(before.join(u'\n').contains(u"real:-0 |"_s));
    }

    const QByteArray changes = recorded([] {
        Conn().execute(deleteEntry(u"1"_s));
        Conn().execute(u"update tblData set amount = 7, reason = 'moved', datercvd = #02/29/2024# where id = 2"_s);
        Conn().execute(u"update tblData set notes = null where id = 3"_s);
        Conn().execute(u"update tblData set notes = 'twice' where id = 3"_s);
        // Changed and changed back, added and removed: nothing to undo.
        Conn().execute(u"update tblData set reason = 'gone' where id = 4"_s);
        Conn().execute(u"update tblData set reason = "_s + quoteText(hostileTexts[3]) + u" where id = 4"_s);
        addEntry(sampleEntry(u"brief"_s, u"1"_s));
        Conn().execute(deleteEntry(QString::number(lastId())));
        addEntry(sampleEntry(u"new"_s, u"5"_s));
    });
    const LedgerSnapshot after = ledger();
    QList<qint64> ids = changedIds(changes);
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(ids, (QList<qint64>{1, 2, 3, lastId()}));

    for (int round = 0; round < 2; ++round) {
        applyChanges(Conn(), reversed(changes));
        ASSERT_EQ(ledger(), before);
        applyChanges(Conn(), changes);
        ASSERT_EQ(ledger(), after);
    }
}

TEST_P(StoreUndo, AStepIsRefusedWholeWhereAnotherProgramChangedARowSince)
{
    const struct
    {
        const char* name;
        std::function<void(qint64 first, qint64 second)> command;
        QString elsewhere;
    } cases[] = {
        {"edited, then the same column edited elsewhere",
         [](qint64 a, qint64 b) {
             Conn().execute(u"update tblData set amount = 50 where id = "_s + QString::number(a));
             Conn().execute(u"update tblData set amount = 51 where id = "_s + QString::number(b));
         },
         u"update tblData set amount = 60 where id = {second}"_s},
        {"edited, then deleted elsewhere",
         [](qint64 a, qint64 b) {
             Conn().execute(u"update tblData set amount = 50 where id = "_s + QString::number(a));
             Conn().execute(u"update tblData set amount = 51 where id = "_s + QString::number(b));
         },
         u"delete from tblData where id = {second}"_s},
        {"deleted, then its id taken elsewhere",
         [](qint64 a, qint64 b) {
             Conn().execute(deleteEntry(QString::number(a)));
             Conn().execute(deleteEntry(QString::number(b)));
         },
         u"insert into tblData (id, reason, amount, paymenttype) values ({second}, 'theirs', 1, 1)"_s},
        {"added, then edited elsewhere",
         [](qint64, qint64) {
             addEntry(sampleEntry(u"one"_s, u"1"_s));
             addEntry(sampleEntry(u"two"_s, u"2"_s));
         },
         u"update tblData set reason = 'theirs' where id = {newest}"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const qint64 first = storeEntry(10, u"first"_s, QDate(2024, 1, 2));
        const qint64 second = storeEntry(20, u"second"_s, QDate(2024, 1, 3));
        const QByteArray changes = recorded([&] { c.command(first, second); });
        elsewhere(QString(c.elsewhere)
                      .replace(u"{second}"_s, QString::number(second))
                      .replace(u"{newest}"_s, QString::number(lastId())));
        const LedgerSnapshot changedElsewhere = ledger();
        EXPECT_THROW(applyChanges(Conn(), reversed(changes)), StaleChange);
        EXPECT_EQ(ledger(), changedElsewhere) << "nothing of the step applied";
        // The ledger takes changes again.
        EXPECT_NO_THROW(addEntry(sampleEntry(u"after"_s, u"1"_s)));
    }
}

TEST_P(StoreUndo, ChangesAreReadAndAppliedWhileAListIsStillBeingRead)
{
    for (int i = 0; i < 3; ++i)
        storeEntry(i, u"row"_s, QDate(2024, 1, 2));
    QByteArray changes;
    Recordset rows;
    {
        ChangeRecorder recorder(Conn());
        Conn().execute(deleteEntry(u"1"_s));
        rows.open(selectAllEntries(), Conn());
        changes = recorder.changes();
        applyChanges(Conn(), reversed(changes));
    }
    int read = 0;
    for (; !rows.eof(); rows.moveNext())
        ++read;
    EXPECT_EQ(read, 2) << "the list read before the undo";
    EXPECT_EQ(entryCount(), 3);
}

TEST_P(StoreUndo, AnUndoneEditKeepsWhatAnotherProgramWroteToOtherColumns)
{
    const qint64 id = storeEntry(10, u"mine"_s, QDate(2024, 1, 2));
    const QByteArray edited =
        recorded([&] { Conn().execute(u"update tblData set amount = 50 where id = "_s + QString::number(id)); });
    elsewhere(u"update tblData set notes = 'theirs' where id = "_s + QString::number(id));
    applyChanges(Conn(), reversed(edited));
    const StoredEntry undone = readEntry(id);
    EXPECT_EQ(undone.amount.toDouble(), 10.0);
    EXPECT_EQ(undone.notes.toString(), u"theirs"_s);
}

TEST_P(StoreUndo, AnUndoneAddsIdIsNeverGivenToAnotherEntry)
{
    const QByteArray added = recorded([] { addEntry(sampleEntry(u"mine"_s, u"1"_s)); });
    const qint64 mine = lastId();
    applyChanges(Conn(), reversed(added));
    elsewhere(insertEntry(sampleEntry(u"theirs"_s, u"2"_s)));
    EXPECT_GT(lastId(), mine);
    applyChanges(Conn(), added);
    EXPECT_EQ(readEntry(mine).reason.toString(), u"mine"_s);
    EXPECT_EQ(entryCount(), 2);
}

TEST_P(StoreUndo, OnlyWhatThisProgramChangesIsRecordedItsUndosIncluded)
{
    const QByteArray added = recorded([] { addEntry(sampleEntry(u"mine"_s, u"1"_s)); });
    const qint64 mine = lastId();
    ChangeRecorder recorder(Conn());
    elsewhere(insertEntry(sampleEntry(u"theirs"_s, u"2"_s)));
    EXPECT_TRUE(recorder.changes().isEmpty());
    applyChanges(Conn(), reversed(added));
    EXPECT_EQ(changedIds(recorder.changes()), QList<qint64>{mine});
}

INSTANTIATE_TEST_SUITE_P(Engines, Store, testing::Values(LedgerKind::File, LedgerKind::Server), ledgerKindName);
INSTANTIATE_TEST_SUITE_P(Engines, StoreUndo, testing::Values(LedgerKind::File, LedgerKind::Server), ledgerKindName);

TEST(EntryImages, DifferWhereTheStoredValuesDiffer)
{
    struct Case
    {
        const char* name;
        QVariant before, now;
        bool differs;
    };
    const Case cases[] = {
        {"same text", u"a"_s, u"a"_s, false},
        {"letter case", u"a"_s, u"A"_s, true},
        {"no value against empty text", QVariant(), u""_s, true},
        {"no value against no value", QVariant(), QVariant(), false},
        {"a real against the same integer", 10.0, qlonglong(10), true},
        {"the last bit of a real", 0.3, 0.1 + 0.2, true},
        {"a stored NaN", qQNaN(), qQNaN(), false},
        {"a date against its text", QDate(2021, 3, 5), u"2021-03-05"_s, true},
    };
    for (const Case& c : cases) {
        EntryImage before, now;
        before[EntryField::Notes] = c.before;
        now[EntryField::Notes] = c.now;
        EXPECT_EQ(before.differences(now), c.differs ? QList{EntryField::Notes} : QList<EntryField>{}) << c.name;
    }
}

TEST(ServerDoor, ACheckedUpdateHoldsTheEntryAgainstWritersOutsideABatch)
{
    const QString connection = openFreshLedger(LedgerKind::Server);
    const LedgerEntries ledger(Conn());
    ledger.add(sampleEntry(u"Rent"_s, u"10"_s));
    const QString id = QString::number(lastId());
    Connection other;
    other.open(connection);
    other.engine().prepare("SET lock_timeout = 200")->run();
    inOneBatch(Conn(), [&] {
        Conn().engine().lockEntry(id);
        EXPECT_THROW(LedgerEntries(other).update(sampleEntry(u"Theirs"_s, u"1"_s), id), StoreError);
    });
    LedgerEntries(other).update(sampleEntry(u"Theirs"_s, u"1"_s), id);
    EXPECT_EQ(readEntry(lastId()).reason.toString(), u"Theirs"_s);
}

TEST(Directions, OnlyOneAndTwoAreStoredDirections)
{
    const std::pair<qint64, std::optional<Direction>> cases[] = {
        {1, Direction::Received}, {2, Direction::PaidOut}, {0, std::nullopt}, {3, std::nullopt}, {-1, std::nullopt}};
    for (const auto& [stored, direction] : cases) {
        EXPECT_EQ(directionFromStored(stored), direction) << stored;
        if (direction) {
            EXPECT_EQ(storedValue(*direction), stored);
        }
    }
}
