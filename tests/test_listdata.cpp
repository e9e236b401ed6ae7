// The ledger list and its summary as ListData fills them from a real ledger file.
#include "app/pointerkind.h"
#include "ledgerlist/ledgermodel.h"
#include "money/moneyformat.h"
#include "settings/settings.h"
#include "store/programconnection.h"
#include "support/ledgerfixture.h"
#include "support/mainwindow.h"
#include "support/windowdriver.h"
#include "money/storedcurrency.h"

#include <QLabel>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class ListDataTest : public MainWindowTest
{
protected:
    QStringList row(int r) const { return rowTexts(window.ledgerModel(), r); }
    QStringList captions() const { return summaryCaptions(window); }
};

} // namespace

TEST_F(ListDataTest, EmptyLedgerGivesEmptyListAndZeroTotals)
{
    EXPECT_EQ(window.ledgerModel()->rowCount(), 0);
    EXPECT_EQ(captions(), (QStringList{u"Received: $ 0.00"_s, u"Paid: $ 0.00"_s, u"Balance: $ 0.00"_s}));
    EXPECT_EQ(window.balance(), 0.0);
}

TEST_F(ListDataTest, RowsDirectionsAndTotals)
{
    Entry received = sampleEntry(u"O'Brien's rent"_s, u"1234.5"_s, Direction::Received);
    received.notes = u"two\nlines"_s;
    addEntry(received);
    addEntry(sampleEntry(u"Water Bill"_s, u"40"_s, Direction::PaidOut));
    Entry other = sampleEntry(u"Odd"_s, u"1000"_s, Direction::PaidOut);
    addEntry(other);
    Conn().execute(u"update tblData set paymenttype=3 where reason='Odd'"_s);
    window.ListData();

    ASSERT_EQ(window.ledgerModel()->rowCount(), 3);
    EXPECT_EQ(row(0), (QStringList{u"1"_s, u"3/5/2021"_s, u"$ 1,234.50"_s, u"O'Brien's rent"_s, u"Marrowfen"_s,
                                   u"Tobren"_s, u"Cash"_s, u"two\nlines"_s, u"Received"_s}));
    EXPECT_EQ(row(1)[8], u"Paid Out");
    EXPECT_EQ(row(2)[8], u"");
    EXPECT_EQ(row(2)[2], u"$ 1,000.00");
    EXPECT_EQ(captions(), (QStringList{u"Received: $ 1,234.50"_s, u"Paid: $ 40.00"_s, u"Balance: $ 1,194.50"_s}));
    EXPECT_EQ(window.balance(), 1194.5);
    EXPECT_TRUE(boxes.messages.isEmpty());

    // A second refill shows the same rows, not twice as many, and no row is ticked.
    window.ledgerModel()->setTicked(0, true);
    window.ListData();
    EXPECT_EQ(window.ledgerModel()->rowCount(), 3);
    EXPECT_EQ(row(0)[3], u"O'Brien's rent");
    EXPECT_FALSE(window.ledgerModel()->isTicked(0));
}

TEST_F(ListDataTest, OnlyPaidEntriesGiveANegativeBalance)
{
    addEntry(sampleEntry(u"a"_s, u"12"_s, Direction::PaidOut));
    window.ListData();
    EXPECT_EQ(captions()[2], u"Balance: -$ 12.00");
}

TEST_F(ListDataTest, DatesShowTheRegionalOrderWithAFourDigitYear)
{
    addEntry(sampleEntry(u"a"_s, u"1"_s));
    QLocale::setDefault(QLocale(u"en_US"_s));
    window.ListData();
    EXPECT_EQ(row(0)[1], u"3/5/2021");
    // A refill writes the dates anew, in the region then in force.
    QLocale::setDefault(QLocale(u"de_DE"_s));
    window.ListData();
    EXPECT_EQ(row(0)[1], u"05.03.2021");
}

TEST_F(ListDataTest, WhileExportingARefillKeepsTheOldRowsAndAppends)
{
    addEntry(sampleEntry(u"a"_s, u"1"_s));
    addEntry(sampleEntry(u"b"_s, u"2"_s));
    window.ListData();
    window.setExporting(true);
    EXPECT_EQ(pointerKind(&window), pointerHourglass);
    window.ListData();
    EXPECT_EQ(window.ledgerModel()->rowCount(), 4);
    EXPECT_EQ(row(2)[3], u"a");
    window.setExporting(false);
    EXPECT_EQ(pointerKind(&window), pointerDefault);
    window.ListData();
    EXPECT_EQ(window.ledgerModel()->rowCount(), 2);
}

TEST_F(ListDataTest, NewMoneyFormatChangesOnlyTheAmountsAndTotals)
{
    addEntry(sampleEntry(u"a"_s, u"1234.5"_s));
    window.ListData();
    const QStringList before = row(0);
    SaveSetting(u"CurrencySymbol"_s, u"€"_s);
    SaveSetting(u"CurrencyBefore"_s, u"0"_s);
    buildStoredMoneyFormat();
    // The rows keep the texts they were filled with until the next refill.
    EXPECT_EQ(row(0), before);
    window.ListData();
    QStringList after = row(0);
    EXPECT_EQ(after[2], u"1,234.50 €");
    after[2] = before[2];
    EXPECT_EQ(after, before);
    EXPECT_EQ(captions()[0], u"Received: 1,234.50 €");
}

TEST_F(ListDataTest, UnreadableTableEndsTheRefillAfterOneReport)
{
    addEntry(sampleEntry(u"a"_s, u"1"_s));
    window.ListData();
    Conn().execute(u"drop table tblData"_s);
    window.ListData();
    const QStringList reports = boxes.errorReports();
    ASSERT_EQ(reports.size(), 1);
    EXPECT_NE(reports[0].indexOf(u"no such table: tblData\r\nin Quorvane2021/08/31.Form1.ListData at line 104"), -1);
    EXPECT_EQ(window.ledgerModel()->rowCount(), 0);
    EXPECT_EQ(captions()[2], u"Balance: $ 0.00");
}

TEST_F(ListDataTest, ValuesThatAreNotWhatTheWindowWritesStillShow)
{
    Conn().execute(u"insert into tblData (datercvd,reason,amount,paymenttype) values ('garbage',NULL,NULL,1)"_s);
    window.ListData();
    ASSERT_EQ(window.ledgerModel()->rowCount(), 1);
    EXPECT_EQ(row(0)[1], u"garbage");
    EXPECT_EQ(row(0)[2], u"");
    EXPECT_EQ(row(0)[3], u"");
    EXPECT_EQ(row(0)[8], u"Received");
    EXPECT_TRUE(boxes.messages.isEmpty());
}
