// The statistics window over a real ledger: its tables and charts against the ledger's own sums,
// drill-down into the list, following the ledger's changes, and the figures in the saved PDF.
#include "base/clock.h"
#include "ledgerlist/ledgerview.h"
#include "money/moneyformat.h"
#include "store/programconnection.h"
#include "store/recordset.h"
#include "support/ledgerfixture.h"
#include "support/mainwindow.h"
#include "support/pdftext.h"
#include "ui/main/findbar.h"
#include "ui/main/ledgerhistory.h"
#include "ui/statistics/figuretable.h"
#include "ui/statistics/statisticschart.h"
#include "ui/statistics/statisticsperiod.h"
#include "ui/statistics/statisticswindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QUndoStack>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QStringList reasons = {u"Rent"_s,      u"Groceries"_s, u"Salary"_s, u"Electric"_s, u"Water Bill"_s,
                             u"Insurance"_s, u"Fuel"_s,      u"Gig"_s,    u"Books"_s,    u"Guitar Lesson"_s,
                             u"Phone"_s,     u"Repairs"_s,   u"Gifts"_s,  u"Tax"_s,      u"Café Olé"_s};

// 300 entries over 2023 to 2025, a third of them received, amounts with cents.
QList<Entry> seededLedger()
{
    QList<Entry> entries;
    for (int i = 0; i < 300; ++i) {
        Entry e =
            sampleEntry(reasons[(i * 7) % reasons.size()], QString::number(1 + (i * 7919) % 50000 / 100.0, 'f', 2),
                        i % 3 == 0 ? Direction::Received : Direction::PaidOut);
        e.date = QDate(2023, 1, 1).addDays((i * 37) % 1095);
        e.fromCompany = u"Payer %1"_s.arg(i % 5);
        e.toCompany = u"Payee %1"_s.arg(i % 17);
        entries.append(e);
    }
    return entries;
}

// One number from the ledger itself.
double sqlSum(const QString& where)
{
    Recordset rs;
    rs.open(u"select coalesce(sum(amount), 0) as s from tblData where "_s + where, Conn());
    return rs.field(u"s").toDouble();
}

class StatisticsWindowTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        listEntries(seededLedger());
        window.showStatistics();
        stats = window.statisticsWindow();
        ASSERT_NE(stats, nullptr);
    }
    void choose(const char* control, int index)
    {
        stats->findChild<QComboBox*>(QString::fromLatin1(control))->setCurrentIndex(index);
    }
    void chooseDates(QDate from, QDate to)
    {
        stats->findChild<QDateEdit*>(u"StatisticsFrom"_s)->setDate(from);
        stats->findChild<QDateEdit*>(u"StatisticsTo"_s)->setDate(to);
        choose("StatisticsPeriod", 6);
    }
    // The money texts of one column of a page's table.
    QStringList column(StatisticsWindow::Page page, int c) const
    {
        QStringList texts;
        for (const QStringList& row : stats->table(page)->shownTexts())
            texts.append(row[c]);
        return texts;
    }

    ScopedToday today{QDate(2026, 12, 8)};
    StatisticsWindow* stats = nullptr;
};

} // namespace

TEST_F(StatisticsWindowTest, EachStepOfEachPeriodAddsUpWhatTheLedgerHolds)
{
    const struct
    {
        int step; // 0 month, 1 quarter, 2 year
        QDate from, to;
        int steps;
    } cases[] = {{0, QDate(2024, 1, 1), QDate(2024, 12, 31), 12},
                 {1, QDate(2023, 1, 1), QDate(2025, 12, 31), 12},
                 {2, QDate(2023, 1, 1), QDate(2025, 12, 31), 3},
                 {0, QDate(2024, 2, 10), QDate(2024, 4, 20), 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.from.toString(Qt::ISODate).toStdString() + " step " + std::to_string(c.step));
        choose("StatisticsStep", c.step);
        chooseDates(c.from, c.to);
        const std::vector<StepFigures>& steps = stats->figures().steps;
        ASSERT_EQ(int(steps.size()), c.steps);
        const QList<QStringList> table = stats->table(StatisticsWindow::OverTime)->shownTexts();
        ASSERT_EQ(table.size(), c.steps);
        const QMap<QString, QList<double>> series = stats->chart(StatisticsWindow::OverTime)->seriesValues();
        for (int i = 0; i < c.steps; ++i) {
            const QString within = u"datercvd between '%1' and '%2'"_s.arg(steps[size_t(i)].first.toString(Qt::ISODate),
                                                                           steps[size_t(i)].last.toString(Qt::ISODate));
            const double received = sqlSum(within + u" and paymenttype = 1"_s);
            const double paid = sqlSum(within + u" and paymenttype = 2"_s);
            const double balance =
                sqlSum(u"paymenttype = 1 and datercvd <= '%1'"_s.arg(steps[size_t(i)].last.toString(Qt::ISODate))) -
                sqlSum(u"paymenttype = 2 and datercvd <= '%1'"_s.arg(steps[size_t(i)].last.toString(Qt::ISODate)));
            EXPECT_EQ(table[i].mid(1), (QStringList{FormatMoney(received), FormatMoney(paid), FormatMoney(balance)}))
                << i;
            EXPECT_NEAR(series[u"Received"_s].value(i), received, 0.005) << i;
            EXPECT_NEAR(series[u"Paid Out"_s].value(i), paid, 0.005) << i;
            EXPECT_NEAR(series[u"Balance"_s].value(i), balance, 0.005) << i;
        }
    }
}

TEST_F(StatisticsWindowTest, RankedTablesAreTheLedgersOwnSumsLargestFirst)
{
    choose("StatisticsPeriod", 5); // All entries
    for (int direction : {0, 1}) {
        choose("StatisticsDirection", direction);
        const int stored = direction == 0 ? 2 : 1;
        Recordset rs;
        rs.open(u"select reason, sum(amount) as s from tblData where paymenttype = %1 group by reason "
                "order by s desc, reason"_s.arg(stored),
                Conn());
        QStringList expected;
        for (; !rs.eof() && expected.size() < 12; rs.moveNext())
            expected.append(rs.field(u"reason").toString() + u'|' + FormatMoney(rs.field(u"s").toDouble()));
        QStringList shown;
        for (const QStringList& row : stats->table(StatisticsWindow::ByReason)->shownTexts())
            shown.append(row[0] + u'|' + row[1]);
        const double total = sqlSum(u"paymenttype = %1"_s.arg(stored));
        double restTotal = total;
        for (const RankedFigure& figure : stats->figures().ranked[0])
            if (!figure.isRest)
                restTotal -= figure.amount;
        if (shown.size() > 12) {
            EXPECT_EQ(shown.last(), u"Everything else|"_s + FormatMoney(restTotal));
            shown.removeLast();
        }
        EXPECT_EQ(shown, expected) << "direction " << direction;
        EXPECT_EQ(stats->chart(StatisticsWindow::ByReason)->seriesValues().first().size(),
                  stats->table(StatisticsWindow::ByReason)->rowCountShown());
    }
}

TEST_F(StatisticsWindowTest, DrillDownShowsExactlyTheEntriesOfTheRow)
{
    choose("StatisticsStep", 0);
    chooseDates(QDate(2024, 1, 1), QDate(2024, 12, 31));
    Q_EMIT stats->table(StatisticsWindow::ByReason)->rowActivated(0);
    const RankedFigure& top = stats->figures().ranked[0][0];
    const LedgerView::Totals& shown = window.ledgerView()->shownTotals();
    EXPECT_TRUE(window.findBar()->isVisible());
    EXPECT_EQ(shown.entries, top.entries);
    EXPECT_NEAR(shown.paid, top.amount, 0.005);
    EXPECT_EQ(shown.received, 0);

    Q_EMIT stats->table(StatisticsWindow::OverTime)->rowActivated(2); // March 2024, both directions
    const StepFigures& march = stats->figures().steps[2];
    EXPECT_NEAR(window.ledgerView()->shownTotals().received, march.received, 0.005);
    EXPECT_NEAR(window.ledgerView()->shownTotals().paid, march.paid, 0.005);
}

TEST_F(StatisticsWindowTest, FollowsEveryChangeOfTheLedger)
{
    choose("StatisticsPeriod", 5);
    const auto receivedInAll = [&] { return stats->figures().received; };
    const double before = receivedInAll();
    addEntry(sampleEntry(u"Bonus"_s, u"1000"_s, Direction::Received));
    window.ListData();
    EXPECT_NEAR(receivedInAll(), before + 1000, 0.005) << "an add";
    Conn().execute(u"update tblData set amount = 250 where reason = 'Bonus'"_s);
    window.ListData();
    EXPECT_NEAR(receivedInAll(), before + 250, 0.005) << "an edit";
    window.history()->record(u"Delete"_s, [] { Conn().execute(u"delete from tblData where reason = 'Bonus'"_s); });
    window.ListData();
    EXPECT_NEAR(receivedInAll(), before, 0.005) << "a delete";
    window.history()->stack()->undo();
    EXPECT_NEAR(receivedInAll(), before + 250, 0.005) << "an undo";
}

TEST_F(StatisticsWindowTest, OnlyTheEntriesShownInTheListWhenAskedTo)
{
    choose("StatisticsPeriod", 5);
    auto* onlyShown = stats->findChild<QCheckBox*>(u"StatisticsOnlyShown"_s);
    EXPECT_FALSE(onlyShown->isEnabled()) << "nothing to follow while the list shows everything";
    onlyShown->setChecked(true);
    window.findBar()->openWith([] {
        LedgerFilter filter;
        filter.text = u"rent"_s;
        return filter;
    }());
    ASSERT_TRUE(onlyShown->isEnabled());
    EXPECT_EQ(stats->figures().entries, window.ledgerView()->shownTotals().entries);
    EXPECT_NEAR(stats->figures().paid, window.ledgerView()->shownTotals().paid, 0.005);
    onlyShown->setChecked(false);
    EXPECT_EQ(stats->figures().entries, 300);
}

TEST_F(StatisticsWindowTest, UnusableEntriesAreCountedAndNamed)
{
    Conn().execute(u"update tblData set amount = null where id in (select id from tblData limit 2)"_s);
    Conn().execute(u"update tblData set datercvd = 'soon' where id in (select id from tblData limit 1 offset 5)"_s);
    window.ListData();
    EXPECT_EQ(stats->figures().unusable, 3);
    EXPECT_EQ(stats->findChild<QLabel*>(u"StatisticsUnusable"_s)->text(),
              u"3 entries without a usable date or amount"_s);
}

TEST_F(StatisticsWindowTest, TheSavedPdfHoldsEveryTablesFigures)
{
    choose("StatisticsStep", 2);
    chooseDates(QDate(2023, 1, 1), QDate(2025, 12, 31));
    QTemporaryDir folder;
    const QString path = folder.filePath(u"statistics.pdf"_s);
    {
        QPdfWriter writer(path);
        stats->paintPages(writer);
    }
    const QString text = pdfPages(path).join(u'\n');
    for (StatisticsWindow::Page page :
         {StatisticsWindow::OverTime, StatisticsWindow::ByReason, StatisticsWindow::ByMethod})
        for (const QStringList& row : stats->table(page)->shownTexts())
            for (const QString& cell : row)
                EXPECT_TRUE(text.contains(cell)) << cell.toStdString();
}

TEST(StatisticsPeriods, EachChoiceCoversItsWholeCalendarStretch)
{
    const QDate today(2026, 1, 15); // January: last month is in last year
    const QDate any(2020, 5, 1);
    const struct
    {
        PeriodChoice choice;
        std::optional<QDate> from, to;
    } cases[] = {
        {PeriodChoice::ThisMonth, QDate(2026, 1, 1), QDate(2026, 1, 31)},
        {PeriodChoice::LastMonth, QDate(2025, 12, 1), QDate(2025, 12, 31)},
        {PeriodChoice::ThisYear, QDate(2026, 1, 1), QDate(2026, 12, 31)},
        {PeriodChoice::LastYear, QDate(2025, 1, 1), QDate(2025, 12, 31)},
        {PeriodChoice::Last12Months, QDate(2025, 2, 1), QDate(2026, 1, 31)},
        {PeriodChoice::AllEntries, std::nullopt, std::nullopt},
        {PeriodChoice::Dates, QDate(2020, 5, 1), QDate(2024, 2, 29)}, // given the wrong way round
    };
    for (const auto& c : cases) {
        const StatisticsScope scope = periodScope(c.choice, today, QDate(2024, 2, 29), any, StatisticsStep::Quarter);
        EXPECT_EQ(scope.from, c.from) << int(c.choice);
        EXPECT_EQ(scope.to, c.to) << int(c.choice);
        EXPECT_EQ(scope.step, StatisticsStep::Quarter);
    }
}
