// The report engine without painting: the ledger report's design, its bindings and formats,
// and how its rows flow onto pages.
#include "base/failure.h"
#include "money/moneyformat.h"
#include "output/report/reportdata.h"
#include "output/report/reportlayout.h"
#include "output/report/reportmain.h"
#include "money/storedcurrency.h"

#include <QDate>
#include <QLocale>
#include <cmath>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QSize letter(12240, 15840); // 8.5 x 11 inches

// The design as the report command hands it over: money formats and the balance set.
ReportDesign preparedReport(double balance)
{
    ReportDesign report = rptMain();
    for (auto [section, control] : {std::pair{u"Section5", u"Function1"}, std::pair{u"Section5", u"Function2"},
                                    std::pair{u"Section1", u"Text7"}, std::pair{u"Section1", u"Text2"}})
        report.section(section).control(control).format = moneyFormat();
    report.section(u"Section5").control(u"lblBalance").caption = FormatMoney(balance);
    return report;
}

// The staging table's columns, spelt as the table spells them (the design says "ValueIN").
ReportData stagingRows()
{
    return ReportData({u"Date"_s, u"ValueIn"_s, u"ValueOut"_s, u"Payer"_s, u"Payee"_s});
}

QStringList textsOf(const ReportPage& page, QStringView control)
{
    QStringList texts;
    for (const PlacedText& t : page.texts)
        if (t.control->name == control)
            texts.append(t.text);
    return texts;
}

const PlacedText* find(const ReportPage& page, QStringView control)
{
    for (const PlacedText& t : page.texts)
        if (t.control->name == control)
            return &t;
    return nullptr;
}

class ReportLayout : public testing::Test
{
protected:
    void SetUp() override { buildStoredMoneyFormat(); }
};

TEST_F(ReportLayout, ReceivedAndPaidEntriesGiveTwoLinesAndTheTotals)
{
    ReportData rows = stagingRows();
    rows.appendRow({QDate(2021, 3, 5), 100.0, 0.0, u"O'Neil"_s, u"Tobren"_s});
    rows.appendRow({QDate(2021, 3, 6), 0.0, 40.0, u"Marrowfen"_s, u"Städtische Werke"_s});

    const ReportPages report = layoutReport(preparedReport(60), rows, letter);

    ASSERT_EQ(report.pages.size(), 1u);
    const ReportPage& page = report.pages.front();
    EXPECT_EQ(textsOf(page, u"Text1"), QStringList({u"05 Mar 2021"_s, u"06 Mar 2021"_s}));
    EXPECT_EQ(textsOf(page, u"Text2"), QStringList({u"$ 100.00"_s, u"$ 0.00"_s}));
    EXPECT_EQ(textsOf(page, u"Text7"), QStringList({u"$ 0.00"_s, u"$ 40.00"_s}));
    EXPECT_EQ(textsOf(page, u"Text4"), QStringList({u"O'Neil"_s, u"Marrowfen"_s}));
    EXPECT_EQ(textsOf(page, u"Text5"), QStringList({u"Tobren"_s, u"Städtische Werke"_s}));
    EXPECT_EQ(textsOf(page, u"Function1"), QStringList{u"$ 100.00"_s});
    EXPECT_EQ(textsOf(page, u"Function2"), QStringList{u"$ 40.00"_s});
    EXPECT_EQ(textsOf(page, u"lblBalance"), QStringList{u"$ 60.00"_s});
    for (auto [control, caption] :
         {std::pair{u"Label2", u"Date"}, std::pair{u"Label3", u"Received"}, std::pair{u"Label4", u"Paid"},
          std::pair{u"Label6", u"From"}, std::pair{u"Label7", u"To"}, std::pair{u"Label8", u"Total IN"},
          std::pair{u"Label9", u"Total OUT"}, std::pair{u"Label10", u"Balance"}})
        EXPECT_EQ(textsOf(page, control), QStringList{QString::fromUtf16(caption)})
            << QString::fromUtf16(control).toStdString();
}

TEST_F(ReportLayout, ControlsStandWhereTheDesignPutsThemInsideTheMargins)
{
    ReportData rows = stagingRows();
    rows.appendRow({QDate(2021, 3, 5), 100.0, 0.0, u"A"_s, u"B"_s});
    rows.appendRow({QDate(2021, 3, 6), 0.0, 40.0, u"C"_s, u"D"_s});
    const ReportPage page = layoutReport(preparedReport(60), rows, letter).pages.front();

    // Page header at the top margin, the lines 330 apart under it, the footer after the last.
    EXPECT_EQ(find(page, u"Label3")->box, QRect(1440 + 1134, 1440, 1134, 240));
    EXPECT_EQ(textsOf(page, u"Text7").size(), 2);
    std::vector<QRect> paid;
    for (const PlacedText& t : page.texts)
        if (t.control->name == u"Text7")
            paid.push_back(t.box);
    EXPECT_EQ(paid.at(0), QRect(1440 + 2835, 1440 + 360, 1440, 240));
    EXPECT_EQ(paid.at(1), QRect(1440 + 2835, 1440 + 360 + 330, 1440, 240));
    const int footerTop = 1440 + 360 + 2 * 330;
    EXPECT_EQ(find(page, u"Function2")->box, QRect(1440 + 2835, footerTop + 420, 1140, 240));
    EXPECT_EQ(find(page, u"lblBalance")->box, QRect(1440 + 4535, footerTop + 420, 1707, 240));
    ASSERT_EQ(page.lines.size(), 1u);
    EXPECT_EQ(page.lines.front().line, QLine(1440, footerTop + 60, 1440 + 8505, footerTop + 60));

    for (const PlacedText& t : page.texts)
        EXPECT_TRUE(QRect(1440, 1440, 12240 - 2880, 15840 - 2880).contains(t.box)) << t.control->name.toStdString();
}

TEST_F(ReportLayout, DatesUseTheRegionalMonthNames)
{
    ReportData rows = stagingRows();
    rows.appendRow({QDate(2021, 3, 5), 1.0, 0.0, u""_s, u""_s});
    EXPECT_EQ(textsOf(layoutReport(preparedReport(0), rows, letter).pages.front(), u"Text1"),
              QStringList{u"05 Mar 2021"_s});

    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(textsOf(layoutReport(preparedReport(0), rows, letter).pages.front(), u"Text1"),
              QStringList{u"05 März 2021"_s});
}

TEST_F(ReportLayout, ManyRowsFlowOntoPagesEachWithItsHeaderAndTheFooterOnlyOnTheLast)
{
    ReportData rows = stagingRows();
    qint64 receivedCents = 0;
    qint64 paidCents = 0;
    for (int i = 0; i < 200; ++i) {
        const qint64 cents = 1 + (i * 7919) % 250000;
        const bool received = i % 3 != 0;
        (received ? receivedCents : paidCents) += cents;
        rows.appendRow({QDate(2021, 1, 1).addDays(i), received ? cents / 100.0 : 0.0, received ? 0.0 : cents / 100.0,
                        u"Payer %1"_s.arg(i), u"Payee %1"_s.arg(i)});
    }

    const ReportPages report = layoutReport(preparedReport(0), rows, letter);

    ASSERT_GT(report.pages.size(), 4u);
    int lines = 0;
    for (size_t p = 0; p < report.pages.size(); ++p) {
        const ReportPage& page = report.pages[p];
        const bool last = p + 1 == report.pages.size();
        EXPECT_EQ(textsOf(page, u"Label2"), QStringList{u"Date"_s}) << "page " << p + 1;
        EXPECT_EQ(find(page, u"Label2")->box.top(), 1440) << "page " << p + 1;
        EXPECT_EQ(find(page, u"Label8") != nullptr, last) << "page " << p + 1;
        EXPECT_EQ(page.lines.size(), last ? 1u : 0u) << "page " << p + 1;
        for (const PlacedText& t : page.texts)
            EXPECT_LE(t.box.bottom(), 15840 - 1440 - 360) << "page " << p + 1;
        const QStringList payers = textsOf(page, u"Text4");
        for (int i = 0; i < payers.size(); ++i)
            EXPECT_EQ(payers[i], u"Payer %1"_s.arg(lines + i));
        lines += int(payers.size());
    }
    EXPECT_EQ(lines, 200);

    const ReportPage& last = report.pages.back();
    EXPECT_EQ(textsOf(last, u"Function1"), QStringList{FormatMoney(double(receivedCents) / 100)});
    EXPECT_EQ(textsOf(last, u"Function2"), QStringList{FormatMoney(double(paidCents) / 100)});
}

TEST_F(ReportLayout, TheFooterMovesToANewPageOnlyWhenItDoesNotFit)
{
    // Letter: 15840 - 2 * 1440 margins - 360 page header - 360 page footer leaves room for
    // 37 lines of 330; the 780 footer fits under 34 lines but not under 35.
    auto pagesFor = [](int count) {
        ReportData rows = stagingRows();
        for (int i = 0; i < count; ++i)
            rows.appendRow({QDate(2021, 3, 5), 1.0, 0.0, u"P"_s, u"Q"_s});
        return layoutReport(preparedReport(0), rows, letter);
    };

    const ReportPages fits = pagesFor(34);
    ASSERT_EQ(fits.pages.size(), 1u);
    EXPECT_EQ(find(fits.pages[0], u"Function1")->text, u"$ 34.00"_s);

    const ReportPages moved = pagesFor(35);
    ASSERT_EQ(moved.pages.size(), 2u);
    EXPECT_EQ(textsOf(moved.pages[0], u"Text1").size(), 35);
    EXPECT_EQ(find(moved.pages[0], u"Function1"), nullptr);
    EXPECT_TRUE(textsOf(moved.pages[1], u"Text1").isEmpty());
    EXPECT_EQ(find(moved.pages[1], u"Label8")->box.top(), 1440 + 360 + 120);
    EXPECT_EQ(find(moved.pages[1], u"Function1")->text, u"$ 35.00"_s);

    const ReportPages full = pagesFor(38);
    ASSERT_EQ(full.pages.size(), 2u);
    EXPECT_EQ(textsOf(full.pages[0], u"Text1").size(), 37);
    EXPECT_EQ(textsOf(full.pages[1], u"Text1").size(), 1);
}

TEST_F(ReportLayout, AnEmptyReportShowsItsHeaderAndZeroTotals)
{
    const ReportPages report = layoutReport(preparedReport(0), stagingRows(), letter);
    ASSERT_EQ(report.pages.size(), 1u);
    EXPECT_EQ(textsOf(report.pages[0], u"Label2"), QStringList{u"Date"_s});
    EXPECT_EQ(textsOf(report.pages[0], u"Function1"), QStringList{u"$ 0.00"_s});
    EXPECT_EQ(textsOf(report.pages[0], u"lblBalance"), QStringList{u"$ 0.00"_s});
}

TEST_F(ReportLayout, APaperTooShortForALineStillPrintsOneLinePerPage)
{
    ReportData rows = stagingRows();
    for (int i = 0; i < 3; ++i)
        rows.appendRow({QDate(2021, 3, 5), 1.0, 0.0, u"P"_s, u"Q"_s});
    const ReportPages report = layoutReport(preparedReport(0), rows, QSize(12240, 3000));
    ASSERT_EQ(report.pages.size(), 4u);
    for (int p = 0; p < 3; ++p)
        EXPECT_EQ(textsOf(report.pages[size_t(p)], u"Text1").size(), 1);
}

TEST_F(ReportLayout, ARowFilledInPlaceTakesItsValuesInColumnOrder)
{
    ReportData rows = stagingRows();
    const QVariantList values{QDate(2021, 3, 5), 2.5, 0.0, u"x"_s, u"y"_s};
    rows.appendRowOf([&](int column) { return values[column]; });
    ASSERT_EQ(rows.rowCount(), 1);
    for (int column = 0; column < 5; ++column)
        EXPECT_EQ(rows.value(0, column), values[column]);
    EXPECT_EQ(textsOf(layoutReport(preparedReport(0), rows, letter).pages[0], u"Text4"), QStringList{u"x"_s});
}

TEST_F(ReportLayout, BindingsIgnoreCaseAndAMissingFieldIsAFailure)
{
    ReportData lower({u"date"_s, u"valuein"_s, u"VALUEOUT"_s, u"payer"_s, u"PAYEE"_s});
    lower.appendRow({QDate(2021, 3, 5), 2.5, 0.0, u"x"_s, u"y"_s});
    EXPECT_EQ(textsOf(layoutReport(preparedReport(0), lower, letter).pages[0], u"Text2"), QStringList{u"$ 2.50"_s});

    ReportData missing({u"Date"_s, u"ValueIn"_s, u"ValueOut"_s, u"Payer"_s});
    EXPECT_THROW(layoutReport(preparedReport(0), missing, letter), Failure);
    EXPECT_THROW(rptMain().section(u"Section9"), Failure);
    EXPECT_THROW(rptMain().section(u"Section1").control(u"lblBalance"), Failure);
}

} // namespace
