// The Statistics window's figures, checked against the ledger file itself: every sum, count and
// ranking is asked of SQLite over the same entries and must agree to the cent.
#include "ledgerlist/ledgermodel.h"
#include "ledgerlist/ledgerstatistics.h"
#include "ledgerlist/ledgerview.h"
#include "store/programconnection.h"
#include "store/recordset.h"
#include "support/ledgerfixture.h"
#include "support/mainwindow.h"

#include <QHash>
#include <gtest/gtest.h>
#include <numeric>
#include <random>

using namespace Qt::StringLiterals;

namespace {

constexpr double cent = 0.005;
constexpr int top = 5;

// Case and accents make different names; "" is an entry without one.
const QStringList reasons = {u"Rent"_s, u"rent"_s,    u"Café"_s,  u"Cafe"_s, u"Fuel"_s,
                             u"Gig"_s,  u"Lessons"_s, u"Books"_s, u""_s};
const QStringList companies = {u"Marrowfen"_s, u"Tobren"_s,  u"Müller GmbH"_s,  u"Zoë Carter"_s,
                               u"Edgeworth"_s, u"Quillby"_s, u"Harrow & Sons"_s};
const QStringList methods = {u"Cash"_s, u"Card"_s, u"Cheque"_s, u""_s};

// Three years of entries, the same every run.
QList<Entry> seededEntries()
{
    std::mt19937 random(20240229);
    const auto pick = [&](const QStringList& from) { return from[qsizetype(random() % from.size())]; };
    QList<Entry> entries;
    for (int i = 0; i < 360; ++i) {
        Entry e;
        e.date = QDate(2021, 1, 1).addDays(qint64(random() % 1095));
        e.reason = pick(reasons);
        e.fromCompany = pick(companies);
        e.toCompany = pick(companies);
        e.paymentMethod = pick(methods);
        const unsigned cents = 1 + random() % 250000;
        e.amountText = u"%1.%2"_s.arg(cents / 100).arg(cents % 100, 2, 10, QChar(u'0'));
        e.direction = random() % 3 ? Direction::PaidOut : Direction::Received;
        entries.append(e);
    }
    return entries;
}

// The entries the statistics can use, as SQLite reads them: texts without one read "". A day the
// month lacks passes date() unchanged; a modifier makes SQLite count the days and so refuse it.
const QString usable = u"(select date(datercvd) as d, amount as a, paymenttype as t, coalesce(reason, '') as f0, "
                       "coalesce(fromcompany, '') as f1, coalesce(tocompany, '') as f2, "
                       "coalesce(paymentmethod, '') as f3 from tblData where date(datercvd, '+0 days') = datercvd "
                       "and amount is not null and paymenttype in (1, 2))"_s;

QList<QVariantList> query(const QString& sql)
{
    Recordset rs;
    rs.open(sql, Conn());
    QList<QVariantList> rows;
    for (; !rs.eof(); rs.moveNext()) {
        QVariantList row;
        for (int column = 0; rs.findField(u"c%1"_s.arg(column)) >= 0; ++column)
            row.append(rs.value(column));
        rows.append(row);
    }
    return rows;
}

QVariant queryOne(const QString& sql)
{
    return query(sql).value(0).value(0);
}

QString sqlDate(QDate date)
{
    return u"'"_s + date.toString(Qt::ISODate) + u"'"_s;
}

// The step an ISO date falls in, as SQLite groups it and as the test names a step by its first day.
QString stepGroup(StatisticsStep step, const QString& date)
{
    switch (step) {
    case StatisticsStep::Month:
        return u"strftime('%Y-%m', "_s + date + u")"_s;
    case StatisticsStep::Quarter:
        return u"strftime('%Y', "_s + date + u") || '-' || ((cast(strftime('%m', "_s + date +
               u") as integer) + 2) / 3)"_s;
    case StatisticsStep::Year:
        break;
    }
    return u"strftime('%Y', "_s + date + u")"_s;
}

const char* stepName(StatisticsStep step)
{
    return step == StatisticsStep::Month ? "month" : step == StatisticsStep::Quarter ? "quarter" : "year";
}

class StatisticsTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        listEntries(seededEntries());
        // Entries the figures cannot use.
        spoilSomeEntries();
        window.ListData();
    }

    std::vector<int> allRows() const
    {
        std::vector<int> rows(size_t(window.ledgerModel()->rowCount()));
        std::iota(rows.begin(), rows.end(), 0);
        return rows;
    }
};

struct ScopeCase
{
    std::optional<QDate> from, to;
    StatisticsStep step;
};

const ScopeCase scopes[] = {
    {{}, {}, StatisticsStep::Month},
    {{}, {}, StatisticsStep::Quarter},
    {{}, {}, StatisticsStep::Year},
    {QDate(2022, 2, 15), QDate(2023, 5, 10), StatisticsStep::Month},
    {QDate(2022, 2, 15), QDate(2023, 5, 10), StatisticsStep::Quarter},
    {{}, QDate(2022, 8, 31), StatisticsStep::Quarter},
    {QDate(2021, 11, 2), {}, StatisticsStep::Year},
    {QDate(2030, 1, 1), QDate(2030, 3, 31), StatisticsStep::Month}, // nothing in it, after everything
    {{}, QDate(2000, 1, 1), StatisticsStep::Month},                 // open, before everything
};

} // namespace

TEST_F(StatisticsTest, EveryFigureAgreesWithTheLedgerFile)
{
    const QString first = queryOne(u"select min(d) as c0 from "_s + usable).toString();
    const QString last = queryOne(u"select max(d) as c0 from "_s + usable).toString();
    const int rowCount = queryOne(u"select count(*) as c0 from tblData"_s).toInt();
    for (const ScopeCase& c : scopes) {
        for (const Direction direction : {Direction::Received, Direction::PaidOut}) {
            const QString from = c.from ? sqlDate(*c.from) : u"'"_s + first + u"'"_s;
            const QString to = c.to ? sqlDate(*c.to) : u"'"_s + last + u"'"_s;
            SCOPED_TRACE(u"%1 to %2 by %3, ranking %4"_s
                             .arg(from, to, QString::fromLatin1(stepName(c.step)), directionText(direction))
                             .toStdString());
            const LedgerStatistics figures =
                computeStatistics(*window.ledgerModel(), allRows(), {c.from, c.to, c.step}, direction, top);

            const QString period = usable + u" where d between "_s + from + u" and "_s + to;
            const QVariantList totals =
                query(u"select total(case t when 1 then a end) as c0, total(case t when 2 then a end) as c1, "
                      "count(*) as c2 from "_s +
                      period)
                    .value(0);
            EXPECT_NEAR(figures.received, totals[0].toDouble(), cent);
            EXPECT_NEAR(figures.paid, totals[1].toDouble(), cent);
            EXPECT_EQ(figures.entries, totals[2].toInt());
            EXPECT_EQ(figures.unusable, rowCount - queryOne(u"select count(*) as c0 from "_s + usable).toInt());
            const QString balance = u"select total(case t when 1 then a else -a end) as c0 from "_s + usable;
            EXPECT_NEAR(figures.balanceBefore, queryOne(balance + u" where d < "_s + from).toDouble(), cent);

            // The steps: calendar ones, clipped to the period, one after the other without a gap.
            QHash<QString, QVariantList> sqlSteps;
            for (const QVariantList& row : query(u"select "_s + stepGroup(c.step, u"d"_s) +
                                                 u" as c0, total(case t when 1 then a end) as c1, "
                                                 "total(case t when 2 then a end) as c2 from "_s +
                                                 period + u" group by c0"_s))
                sqlSteps.insert(row[0].toString(), row);
            const bool noPeriod = queryOne(u"select "_s + from + u" > "_s + to + u" as c0"_s).toBool();
            ASSERT_EQ(figures.steps.empty(), noPeriod);
            if (noPeriod)
                continue;
            EXPECT_EQ(sqlDate(figures.steps.front().first), from);
            EXPECT_EQ(sqlDate(figures.steps.back().last), to);
            qsizetype stepsWithEntries = 0;
            for (size_t i = 0; i < figures.steps.size(); ++i) {
                const StepFigures& step = figures.steps[i];
                const QString key =
                    queryOne(u"select "_s + stepGroup(c.step, sqlDate(step.first)) + u" as c0"_s).toString();
                SCOPED_TRACE(key.toStdString());
                EXPECT_EQ(queryOne(u"select "_s + stepGroup(c.step, sqlDate(step.last)) + u" as c0"_s).toString(), key);
                if (i > 0) {
                    EXPECT_EQ(step.first, figures.steps[i - 1].last.addDays(1));
                    EXPECT_NE(queryOne(u"select "_s + stepGroup(c.step, sqlDate(step.first.addDays(-1))) + u" as c0"_s)
                                  .toString(),
                              key);
                }
                const QVariantList sums = sqlSteps.value(key, {key, 0.0, 0.0});
                stepsWithEntries += sqlSteps.contains(key);
                EXPECT_NEAR(step.received, sums[1].toDouble(), cent);
                EXPECT_NEAR(step.paid, sums[2].toDouble(), cent);
                EXPECT_NEAR(step.balance, queryOne(balance + u" where d <= "_s + sqlDate(step.last)).toDouble(), cent);
            }
            EXPECT_EQ(stepsWithEntries, sqlSteps.size());

            // The rankings, largest first, ties by name as SQLite orders texts; the rest in one line.
            const double directionTotal = direction == Direction::Received ? figures.received : figures.paid;
            for (int field = 0; field < 4; ++field) {
                const QList<QVariantList> groups =
                    query(u"select f%1 as c0, total(a) as c1, count(*) as c2 from "_s.arg(field) + period +
                          u" and t = %1 group by f%2 order by c1 desc, c0"_s.arg(storedValue(direction)).arg(field));
                const std::vector<RankedFigure>& ranked = figures.ranked[size_t(field)];
                const qsizetype shown = std::min(groups.size(), qsizetype(top));
                ASSERT_EQ(qsizetype(ranked.size()), shown + (groups.size() > top)) << "field " << field;
                for (qsizetype i = 0; i < shown; ++i) {
                    EXPECT_EQ(ranked[size_t(i)].name, groups[i][0].toString()) << "field " << field;
                    EXPECT_NEAR(ranked[size_t(i)].amount, groups[i][1].toDouble(), cent);
                    EXPECT_EQ(ranked[size_t(i)].entries, groups[i][2].toInt());
                    EXPECT_NEAR(ranked[size_t(i)].share, groups[i][1].toDouble() / directionTotal, 1e-9);
                    EXPECT_FALSE(ranked[size_t(i)].isRest);
                }
                if (groups.size() <= top)
                    continue;
                double restAmount = 0;
                int restEntries = 0;
                for (qsizetype i = top; i < groups.size(); ++i) {
                    restAmount += groups[i][1].toDouble();
                    restEntries += groups[i][2].toInt();
                }
                const RankedFigure& rest = ranked.back();
                EXPECT_TRUE(rest.isRest);
                EXPECT_TRUE(rest.name.isEmpty());
                EXPECT_NEAR(rest.amount, restAmount, cent);
                EXPECT_EQ(rest.entries, restEntries);
                EXPECT_NEAR(rest.share, restAmount / directionTotal, 1e-9);
            }
        }
    }
}

TEST_F(StatisticsTest, UnusableEntriesAreCountedNotDropped)
{
    const LedgerStatistics figures = computeStatistics(*window.ledgerModel(), allRows(), {}, Direction::PaidOut);
    EXPECT_GE(figures.unusable, 6);
    EXPECT_EQ(figures.entries + figures.unusable, window.ledgerModel()->rowCount());
}

// A bar's drill-down: the list filtered to the bar's period, direction and exact text shows just
// the entries the bar adds up, not those without an amount.
TEST_F(StatisticsTest, ADrillDownShowsExactlyTheEntriesOfABar)
{
    const StatisticsScope scope{QDate(2022, 2, 15), QDate(2023, 5, 10), StatisticsStep::Month};
    const LedgerStatistics figures = computeStatistics(*window.ledgerModel(), allRows(), scope, Direction::PaidOut);
    for (RankedField field : {RankedField::Reason, RankedField::From, RankedField::To, RankedField::Method}) {
        for (const RankedFigure& bar : figures.ranked[size_t(field)]) {
            if (bar.isRest)
                continue;
            window.ledgerView()->setFilter(
                figureEntries(*scope.from, *scope.to, Direction::PaidOut, std::pair(field, bar.name)));
            const LedgerView::Totals& shown = window.ledgerView()->shownTotals();
            EXPECT_EQ(shown.entries, bar.entries) << bar.name.toStdString();
            EXPECT_NEAR(shown.paid, bar.amount, cent) << bar.name.toStdString();
        }
    }
}

// A list long enough to be added up on several threads gives what one in-order pass does. The
// dates run backwards, so each later stretch begins at earlier steps than the one before it.
TEST(Statistics, StretchesAddUpAsOneInOrderPass)
{
    LedgerModel model;
    constexpr int count = 150000;
    const char* names[] = {"Rent", "Fuel", "Gig", "Books"};
    model.beginRefill(false);
    for (int i = 0; i < count; ++i) {
        LedgerRowValues row;
        row.date = QDate(2024, 12, 31).addDays(-i / 50);
        row.amount = 0.01 * (i % 9973) + 0.1;
        row.hasAmount = true;
        row.direction = i % 3 ? Direction::PaidOut : Direction::Received;
        row.reason = QByteArrayView(names[i % 4]);
        model.appendRow(row);
    }
    model.endRefill();
    std::vector<int> rows(count);
    std::iota(rows.begin(), rows.end(), 0);

    for (const StatisticsStep step : {StatisticsStep::Month, StatisticsStep::Year}) {
        const LedgerStatistics figures = computeStatistics(model, rows, {{}, {}, step}, Direction::PaidOut);
        std::vector<double> paid(figures.steps.size());
        double received = 0;
        QHash<QByteArrayView, std::pair<double, qsizetype>> byReason;
        for (int row : rows) {
            const QDate date = QDate::fromJulianDay(model.julianDay(row));
            if (model.direction(row) == Direction::Received) {
                received += model.amount(row);
                continue;
            }
            const auto inStep = std::find_if(figures.steps.begin(), figures.steps.end(),
                                             [&](const StepFigures& s) { return s.first <= date && date <= s.last; });
            ASSERT_NE(inStep, figures.steps.end());
            paid[size_t(inStep - figures.steps.begin())] += model.amount(row);
            auto& reason = byReason[model.storedText(row, 1)];
            reason.first += model.amount(row);
            ++reason.second;
        }
        EXPECT_NEAR(figures.received, received, cent) << stepName(step);
        for (size_t i = 0; i < paid.size(); ++i)
            EXPECT_NEAR(figures.steps[i].paid, paid[i], cent) << stepName(step) << " step " << i;
        ASSERT_EQ(figures.ranked[0].size(), 4u);
        for (const RankedFigure& reason : figures.ranked[0]) {
            const auto expected = byReason.value(reason.name.toUtf8());
            EXPECT_NEAR(reason.amount, expected.first, cent) << reason.name.toStdString();
            EXPECT_EQ(reason.entries, expected.second) << reason.name.toStdString();
        }
    }
}
