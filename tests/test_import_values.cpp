// From a statement's texts to ledger entries: dates, amounts, the guessed layout and each row's entry.
#include "importing/csvreader.h"
#include "importing/importfile.h"
#include "importing/importlanguage.h"
#include "importing/importlayout.h"
#include "money/moneyformat.h"
#include "support/importsamples.h"
#include "support/printers.h"

#include <QLocale>
#include <array>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

using enum ImportField;

ImportTable tableOf(QList<QStringList> rows)
{
    return ImportTable{std::move(rows)};
}

// The entry's date, amount, direction and texts in one line, for readable failures.
QString describe(const ImportRow& row)
{
    if (!row.entry)
        return u"row %1: %2"_s.arg(row.sourceRow).arg(row.problem.isEmpty() ? u"(blank)"_s : row.problem);
    const ImportedEntry& e = *row.entry;
    return u"%1 %2 %3 | %4 | %5 | %6 | %7 | %8"_s.arg(e.date.toString(Qt::ISODate), QString::number(e.amount, 'f', 2),
                                                      directionText(e.direction), e.reason, e.fromCompany, e.toCompany,
                                                      e.paymentMethod, e.notes);
}

QStringList describeAll(const std::vector<ImportRow>& rows)
{
    QStringList lines;
    for (const ImportRow& row : rows)
        lines.append(describe(row));
    return lines;
}

// The rows a statement file gives under the layout guessed for it.
std::vector<ImportRow> importedFile(const QString& name)
{
    const QByteArray bytes = readImportBytes(sampleStatementPath(name));
    const ImportTable table = readCsv(bytes, detectCsvOptions(bytes));
    return convertRows(table, guessLayout(table));
}

const char* nameOf(DateOrder order)
{
    return std::array{"DMY", "MDY", "YMD"}[size_t(order)];
}

const char* nameOf(DecimalMark mark)
{
    return mark == DecimalMark::Point ? "Point" : "Comma";
}

// A guess as "DMY evidence", "MDY open" or "Comma indifferent", for readable failures.
template <class T> QString described(const Guess<T>& guess)
{
    const char* const bases[] = {"evidence", "indifferent", "open"};
    return u"%1 %2"_s.arg(QLatin1StringView(nameOf(guess.value)), QLatin1StringView(bases[int(guess.basis)]));
}

} // namespace

TEST(ImportDate, ReadsEachOrderAndTheFormsThatNeedNone)
{
    EXPECT_EQ(parseImportDate(u"31.01.2024", DateOrder::DMY), QDate(2024, 1, 31));
    EXPECT_EQ(parseImportDate(u"1/2/2024", DateOrder::DMY), QDate(2024, 2, 1));
    EXPECT_EQ(parseImportDate(u"1/2/2024", DateOrder::MDY), QDate(2024, 1, 2));
    EXPECT_EQ(parseImportDate(u"03-14-2024", DateOrder::MDY), QDate(2024, 3, 14));
    EXPECT_EQ(parseImportDate(u" 14-03-2024 ", DateOrder::DMY), QDate(2024, 3, 14));
    for (const DateOrder order : {DateOrder::DMY, DateOrder::MDY, DateOrder::YMD}) {
        EXPECT_EQ(parseImportDate(u"2024-03-14", order), QDate(2024, 3, 14));
        EXPECT_EQ(parseImportDate(u"2024/3/4", order), QDate(2024, 3, 4));
        EXPECT_EQ(parseImportDate(u"20240314", order), QDate(2024, 3, 14));
        EXPECT_EQ(parseImportDate(u"2024-03-14T23:59:59Z", order), QDate(2024, 3, 14));
        EXPECT_EQ(parseImportDate(u"2024-03-14 00:00:00", order), QDate(2024, 3, 14));
        EXPECT_EQ(parseImportDate(u"12 Mar 2024", order), QDate(2024, 3, 12));
        EXPECT_EQ(parseImportDate(u"Mar 12, 2024", order), QDate(2024, 3, 12));
        EXPECT_EQ(parseImportDate(u"March 12 2024", order), QDate(2024, 3, 12));
        EXPECT_EQ(parseImportDate(u"12-MAR-24", order), QDate(2024, 3, 12));
        EXPECT_EQ(parseImportDate(u"12MAR2024", order), QDate(2024, 3, 12));
        EXPECT_EQ(parseImportDate(u"12. März 2024", order), QDate(2024, 3, 12));
        EXPECT_EQ(parseImportDate(u"1. Okt. 2024", order), QDate(2024, 10, 1));
    }
    EXPECT_EQ(parseImportDate(u"31.01.2024 14:30", DateOrder::DMY), QDate(2024, 1, 31));
    // Day and month are read only in the order given; a year first is never assumed from two digits.
    EXPECT_FALSE(parseImportDate(u"03/14/2024", DateOrder::DMY));
    EXPECT_FALSE(parseImportDate(u"24.03.14", DateOrder::YMD));
}

TEST(ImportDate, TwoDigitYearsFallIntoTheCenturyNearestNow)
{
    EXPECT_EQ(parseImportDate(u"31.01.00", DateOrder::DMY), QDate(2000, 1, 31));
    EXPECT_EQ(parseImportDate(u"31.01.69", DateOrder::DMY), QDate(2069, 1, 31));
    EXPECT_EQ(parseImportDate(u"31.01.70", DateOrder::DMY), QDate(1970, 1, 31));
    EXPECT_EQ(parseImportDate(u"12/31/99", DateOrder::MDY), QDate(1999, 12, 31));
}

TEST(ImportDate, RefusesWhatIsNoDayOfTheCalendar)
{
    for (const QString& text : {u""_s,
                                u"  "_s,
                                u"abc"_s,
                                u"31.02.2024"_s,
                                u"29.02.2023"_s,
                                u"32.01.2024"_s,
                                u"2024-13-01"_s,
                                u"2024-02-30"_s,
                                u"0.1.2024"_s,
                                u"12.2024"_s,
                                u"31.01.202"_s,
                                u"123.1.2024"_s,
                                u"1.2-2024"_s,
                                u"1 2 2024"_s,
                                u"01.01.2024 - 31.01.2024"_s,
                                u"31.01.2024 Valuta"_s,
                                u"12 Foo 2024"_s,
                                u"Mar 2024"_s,
                                u"12.5"_s,
                                u"2024031"_s,
                                u"20241301"_s,
                                u"1.2.2024.5"_s})
        EXPECT_FALSE(parseImportDate(text, DateOrder::DMY)) << text.toStdString();
    EXPECT_TRUE(parseImportDate(u"29.02.2024", DateOrder::DMY));
}

TEST(ImportDate, TheGuessedOrderReadsTheSamplesAndFollowsTheUserWhereTheyDoNotTell)
{
    EXPECT_EQ(guessDateOrder({u"01.02.2024"_s, u"13.02.2024"_s}).value, DateOrder::DMY);
    EXPECT_EQ(guessDateOrder({u"02/01/2024"_s, u"02/13/2024"_s, u"03/01/2024"_s}).value, DateOrder::MDY);
    EXPECT_EQ(guessDateOrder({u"2024-02-01"_s, u"2024-02-13"_s}).value, DateOrder::YMD);
    // One mistyped date does not outvote the rest.
    EXPECT_EQ(guessDateOrder({u"13.02.2024"_s, u"14.02.2024"_s, u"02.15.2024"_s}).value, DateOrder::DMY);

    const QList<QString> ambiguous{u"01/02/2024"_s, u"03/04/2024"_s, u""_s};
    QLocale::setDefault(QLocale(u"en_US"_s));
    EXPECT_EQ(guessDateOrder(ambiguous).value, DateOrder::MDY);
    EXPECT_EQ(guessDateOrder({}).value, DateOrder::MDY);
    QLocale::setDefault(QLocale(u"de_DE"_s));
    EXPECT_EQ(guessDateOrder(ambiguous).value, DateOrder::DMY);
    QLocale::setDefault(QLocale(u"sv_SE"_s));
    EXPECT_EQ(guessDateOrder({u"2024-02-01"_s}).value, DateOrder::YMD);
    EXPECT_EQ(guessDateOrder({u"13.02.2024"_s}).value, DateOrder::DMY);
}

TEST(ImportDate, TheFilesOwnEvidenceComesBeforeTheUsersRegion)
{
    struct Case
    {
        const char* what;
        QList<QString> dates;
        DateClues clues;
        const char* region;
        QString expected;
    };
    // Both readings of these run in order; none of their days is above 12.
    const QList<QString> slashes{u"02/03/2026"_s, u"05/03/2026"_s, u"06/03/2026"_s};
    const Case cases[] = {
        {"a day above 12 first", {u"02/03/2026"_s, u"13/03/2026"_s}, {}, "en_US", u"DMY evidence"_s},
        {"a day above 12 second", {u"03/02/2026"_s, u"03/13/2026"_s}, {}, "en_GB", u"MDY evidence"_s},
        {"a year first", {u"2026-03-02"_s, u"2026-03-05"_s}, {}, "en_US", u"YMD evidence"_s},
        {"a day above 12 outweighs dots", {u"03.02.2026"_s, u"03.13.2026"_s}, {}, "de_DE", u"MDY evidence"_s},
        {"dots", {u"01.12.2026"_s, u"03.12.2026"_s, u"05.12.2026"_s}, {}, "en_US", u"DMY evidence"_s},
        {"dots outweigh the dates' order",
         {u"02.01.2026"_s, u"01.03.2026"_s, u"01.02.2026"_s},
         {},
         "en_US",
         u"DMY evidence"_s},
        {"a decimal comma", slashes, {DecimalMark::Comma, false}, "en_US", u"DMY evidence"_s},
        {"titles in a day-first language", slashes, {std::nullopt, true}, "en_US", u"DMY evidence"_s},
        {"in order only day first",
         {u"02/01/2026"_s, u"03/01/2026"_s, u"01/02/2026"_s},
         {},
         "en_US",
         u"DMY evidence"_s},
        {"newest first only month first",
         {u"02/01/2026"_s, u"01/03/2026"_s, u"01/02/2026"_s},
         {},
         "en_GB",
         u"MDY evidence"_s},
        {"slashes and a decimal point in America", slashes, {DecimalMark::Point, false}, "en_US", u"MDY open"_s},
        {"slashes and a decimal point in Britain", slashes, {DecimalMark::Point, false}, "en_GB", u"DMY open"_s},
        {"dashes", {u"02-03-2026"_s, u"05-03-2026"_s}, {}, "de_DE", u"DMY open"_s},
        {"a region whose order no date here has", slashes, {}, "sv_SE", u"DMY open"_s},
        {"every date the same either way", {u"01/01/2026"_s, u"02/02/2026"_s}, {}, "en_US", u"MDY indifferent"_s},
        {"no dates", {}, {}, "en_GB", u"DMY indifferent"_s},
    };
    for (const Case& c : cases) {
        QLocale::setDefault(QLocale(QString::fromLatin1(c.region)));
        EXPECT_EQ(described(guessDateOrder(c.dates, c.clues)), c.expected) << c.what;
    }
}

TEST(ImportAmount, ReadsEitherMarkWithItsGrouping)
{
    EXPECT_EQ(parseImportAmount(u"12.50", DecimalMark::Point), 12.5);
    EXPECT_EQ(parseImportAmount(u"1,234.56", DecimalMark::Point), 1234.56);
    EXPECT_EQ(parseImportAmount(u"1,234,567", DecimalMark::Point), 1234567.0);
    EXPECT_EQ(parseImportAmount(u"1,23,456.78", DecimalMark::Point), 123456.78);
    EXPECT_EQ(parseImportAmount(u".5", DecimalMark::Point), 0.5);
    EXPECT_EQ(parseImportAmount(u"1234", DecimalMark::Point), 1234.0);
    EXPECT_EQ(parseImportAmount(u"12,50", DecimalMark::Comma), 12.5);
    EXPECT_EQ(parseImportAmount(u"1.234,56", DecimalMark::Comma), 1234.56);
    EXPECT_EQ(parseImportAmount(u"1.234", DecimalMark::Comma), 1234.0);
    EXPECT_EQ(parseImportAmount(u"1.234", DecimalMark::Point), 1.234);
    EXPECT_EQ(parseImportAmount(u"1 234,56", DecimalMark::Comma), 1234.56);
    EXPECT_EQ(parseImportAmount(u"1\u00A0234,56", DecimalMark::Comma), 1234.56);
    EXPECT_EQ(parseImportAmount(u"1\u202F234,56", DecimalMark::Comma), 1234.56);
    EXPECT_EQ(parseImportAmount(u"1'234.56", DecimalMark::Point), 1234.56);
    EXPECT_EQ(parseImportAmount(u"1\u2019234.56", DecimalMark::Point), 1234.56);
    EXPECT_EQ(parseImportAmount(u"999999999999999.99", DecimalMark::Point), 999999999999999.99);
}

TEST(ImportAmount, PassesOverCurrenciesAroundTheNumber)
{
    EXPECT_EQ(parseImportAmount(u"$1,234.56", DecimalMark::Point), 1234.56);
    EXPECT_EQ(parseImportAmount(u"$ 1,234.56", DecimalMark::Point), 1234.56);
    EXPECT_EQ(parseImportAmount(u"1.234,56 €", DecimalMark::Comma), 1234.56);
    EXPECT_EQ(parseImportAmount(u"£12.50", DecimalMark::Point), 12.5);
    EXPECT_EQ(parseImportAmount(u"EUR 12,50", DecimalMark::Comma), 12.5);
    EXPECT_EQ(parseImportAmount(u"12.50 USD", DecimalMark::Point), 12.5);
    EXPECT_EQ(parseImportAmount(u"CHF 1'234.50", DecimalMark::Point), 1234.5);
    EXPECT_EQ(parseImportAmount(u"kr. 1.234,50", DecimalMark::Comma), 1234.5);
    EXPECT_EQ(parseImportAmount(u"1.234,50 kr.", DecimalMark::Comma), 1234.5);
    EXPECT_EQ(parseImportAmount(u"$.99", DecimalMark::Point), 0.99);
}

TEST(ImportAmount, ReadsEveryWayOfWritingANegative)
{
    for (const QString& text : {u"-12.50"_s, u"12.50-"_s, u"(12.50)"_s, u"\u221212.50"_s, u"- 12.50"_s, u"$ -12.50"_s,
                                u"-$12.50"_s, u"($12.50)"_s, u"USD -12.50"_s, u"12.50 USD-"_s})
        EXPECT_EQ(parseImportAmount(text, DecimalMark::Point), -12.5) << text.toStdString();
    EXPECT_EQ(parseImportAmount(u"12,50-", DecimalMark::Comma), -12.5);
    EXPECT_EQ(parseImportAmount(u"+12.50", DecimalMark::Point), 12.5);
}

TEST(ImportAmount, RefusesWhatIsNoSingleNumber)
{
    for (const QString& text : {u""_s,
                                u"  "_s,
                                u"abc"_s,
                                u"EUR"_s,
                                u"-"_s,
                                u"12.5.1"_s,
                                u"1.2.3"_s,
                                u"12abc34"_s,
                                u"12 34"_s,
                                u"1,2"_s,
                                u"1,2345.6"_s,
                                u"1,2,345"_s,
                                u"--12"_s,
                                u"-12-"_s,
                                u"+-12"_s,
                                u"(12"_s,
                                u"12)"_s,
                                u"(-12)"_s,
                                u"1e5"_s,
                                u"12/34"_s,
                                u"12."_s,
                                u"12,50,"_s,
                                u"1000000000000001"_s,
                                u"-1000000000000001"_s,
                                u"12.50 = 3"_s,
                                u"#12"_s,
                                u"12%"_s,
                                u"١٢"_s})
        EXPECT_FALSE(parseImportAmount(text, DecimalMark::Point)) << text.toStdString();
    for (const QString& text : {u"1.2.3"_s, u"12,5,1"_s, u"1.234,56,7"_s, u"1,234.56"_s, u"12.50"_s})
        EXPECT_FALSE(parseImportAmount(text, DecimalMark::Comma)) << text.toStdString();
}

TEST(ImportAmount, TheGuessedMarkIsTheOneTheSamplesShow)
{
    EXPECT_EQ(guessDecimalMark({u"-1.234,56"_s, u"12,50"_s}).value, DecimalMark::Comma);
    EXPECT_EQ(guessDecimalMark({u"1,234.56"_s, u"12.50"_s, u""_s}).value, DecimalMark::Point);
    EXPECT_EQ(guessDecimalMark({u"1.234.567"_s}).value, DecimalMark::Comma);
    EXPECT_EQ(guessDecimalMark({u"1,234,567"_s}).value, DecimalMark::Point);
    EXPECT_EQ(guessDecimalMark({u"$12.5"_s, u"1.234,56 €"_s, u"7,25"_s}).value, DecimalMark::Comma);

    // Three digits after a single mark may be a thousand or a fraction: the user's mark decides.
    const QList<QString> ambiguous{u"1,234"_s, u"5"_s};
    QLocale::setDefault(QLocale(u"en_US"_s));
    EXPECT_EQ(guessDecimalMark(ambiguous).value, DecimalMark::Point);
    QLocale::setDefault(QLocale(u"de_DE"_s));
    EXPECT_EQ(guessDecimalMark(ambiguous).value, DecimalMark::Comma);
    EXPECT_EQ(guessDecimalMark({}).value, DecimalMark::Comma);
}

TEST(ImportAmount, OnlyAmountsThatReadEitherWayLeaveTheMarkOpen)
{
    struct Case
    {
        QList<QString> amounts;
        QString expected;
    };
    QLocale::setDefault(QLocale(u"de_DE"_s));
    for (const auto& [amounts, expected] :
         {Case{{u"-1.234,56"_s, u"1,234"_s}, u"Comma evidence"_s}, Case{{u"12.50"_s, u"1,234"_s}, u"Point evidence"_s},
          Case{{u"1,234"_s, u"5"_s}, u"Comma open"_s}, Case{{u"12.50"_s, u"7,25"_s}, u"Comma open"_s},
          Case{{u"5"_s, u"-1200"_s, u"x"_s}, u"Comma indifferent"_s}, Case{{}, u"Comma indifferent"_s}})
        EXPECT_EQ(described(guessDecimalMark(amounts)), expected) << amounts.join(u" ").toStdString();
}

TEST(ImportLayout, FindsTheHeaderBelowAPreamble)
{
    const ImportTable table = tableOf({{u"Kontonummer"_s, u"123456789"_s},
                                       {u"Zeitraum"_s, u"01.01.2024 - 31.01.2024"_s},
                                       {u"Buchungstag"_s, u"Text"_s, u"Betrag"_s, u""_s},
                                       {},
                                       {u"02.01.2024"_s, u"Miete"_s, u"-650,00"_s}});
    EXPECT_EQ(detectHeaderRow(table), 2);
    EXPECT_EQ(detectHeaderRow(
                  tableOf({{u"02.01.2024"_s, u"Miete"_s, u"-650,00"_s}, {u"03.01.2024"_s, u"Strom"_s, u"-84,00"_s}})),
              -1);
    // Titles without data below them are no header.
    EXPECT_EQ(detectHeaderRow(tableOf({{u"Date"_s, u"Amount"_s}, {u"Text"_s, u"Text"_s}})), -1);
    // A data row of many texts is still data.
    EXPECT_EQ(detectHeaderRow(tableOf({{u"02.01.2024"_s, u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s, u"f"_s, u"12,00"_s},
                                       {u"03.01.2024"_s, u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s, u"f"_s, u"12,00"_s}})),
              -1);
    // The first row of data is about as wide as the titles.
    EXPECT_EQ(detectHeaderRow(tableOf({{u"Date"_s, u"Amount"_s, u"Reason"_s}, {u"2024-01-02"_s, u"12"_s}})), 0);
    EXPECT_EQ(detectHeaderRow(
                  tableOf({{u"Date"_s, u"Amount"_s, u"Reason"_s, u"From"_s, u"To"_s}, {u"2024-01-02"_s, u"12"_s}})),
              -1);
}

TEST(ImportLayout, TellsTheLanguageOfTheTitles)
{
    using enum TitleLanguage;
    struct Case
    {
        QStringList titles;
        TitleLanguage expected;
    };
    for (const auto& [titles, expected] :
         {Case{{u"Buchungstag"_s, u"Valuta"_s, u"Verwendungszweck"_s, u"Empfänger/Auftraggeber"_s, u"Betrag (EUR)"_s},
               DayFirst},
          Case{{u"Date"_s, u"Libellé"_s, u"Montant"_s, u"Solde"_s}, DayFirst},
          Case{{u"Datum"_s, u"Naam / Omschrijving"_s, u"Tegenrekening"_s, u"Af Bij"_s, u"Bedrag (EUR)"_s}, DayFirst},
          Case{{u"Fecha"_s, u"Concepto"_s, u"Importe"_s, u"Saldo"_s}, DayFirst},
          Case{{u"Date"_s, u"Description"_s, u"Amount"_s, u"Balance"_s}, English},
          Case{{u"Transaction Date"_s, u"Paid out"_s, u"Paid in"_s, u"Transaction description"_s}, English},
          Case{{u"Date"_s, u"Description"_s}, Unknown}, Case{{u"Column 1"_s, u""_s}, Unknown}, Case{{}, Unknown}})
        EXPECT_EQ(titleLanguage(titles), expected) << titles.join(u" | ").toStdString();
}

TEST(ImportLayout, TheTitlesAndTheAmountsHelpReadTheDates)
{
    struct Case
    {
        QStringList titles;
        QStringList amounts;
        DateOrder order;
        bool orderOpen;
        bool markOpen;
    };
    QLocale::setDefault(QLocale(u"en_US"_s));
    for (const auto& [titles, amounts, order, orderOpen, markOpen] :
         {Case{{u"Datum"_s, u"Text"_s, u"Betrag"_s}, {u"12.50"_s, u"-4.20"_s}, DateOrder::DMY, false, false},
          Case{{u"Date"_s, u"Memo"_s, u"Amount"_s}, {u"12,50"_s, u"-4,20"_s}, DateOrder::DMY, false, false},
          Case{{u"Date"_s, u"Memo"_s, u"Amount"_s}, {u"12.50"_s, u"-4.20"_s}, DateOrder::MDY, true, false},
          Case{{u"Date"_s, u"Memo"_s, u"Amount"_s}, {u"1,250"_s, u"-4"_s}, DateOrder::MDY, true, true}}) {
        const ImportLayout layout = guessLayout(
            tableOf({titles, {u"02/03/2026"_s, u"Rent"_s, amounts[0]}, {u"05/03/2026"_s, u"Bakery"_s, amounts[1]}}));
        const std::string what = (titles + amounts).join(u" ").toStdString();
        EXPECT_EQ(layout.dateOrder, order) << what;
        EXPECT_EQ(layout.dateOrderOpen, orderOpen) << what;
        EXPECT_EQ(layout.decimalMarkOpen, markOpen) << what;
    }
}

TEST(ImportLayout, NamesColumnsByTheirTitlesInEnglishAndGerman)
{
    const auto columnsFor = [](const QStringList& titles) {
        QStringList data(titles.size(), u"x"_s);
        data[0] = u"2024-01-02"_s;
        data[1] = u"12.00"_s;
        return guessLayout(tableOf({titles, data})).columns;
    };
    EXPECT_EQ(columnsFor({u"Buchungstag"_s, u"Valuta"_s, u"Auftraggeber/Empfänger"_s, u"Verwendungszweck"_s,
                          u"Betrag"_s, u"Währung"_s}),
              (QList{Date, Ignore, Counterparty, Reason, Amount, Ignore}));
    EXPECT_EQ(columnsFor({u"Buchungsdatum"_s, u"Betrag (EUR)"_s, u"Zahlungsempfänger"_s, u"BEGÜNSTIGTER"_s,
                          u"Zahlungspflichtiger"_s, u"Soll / Haben"_s, u"Bemerkung"_s, u"Zahlungsart"_s}),
              (QList{Date, Amount, To, Ignore, From, ImportField::Direction, Notes, Method}));
    EXPECT_EQ(columnsFor({u"Transaction Date"_s, u"Paid out"_s, u"Paid in"_s, u"Transaction description"_s, u"Payee"_s,
                          u"Payer"_s, u"Type"_s, u"Dr/Cr"_s}),
              (QList{Date, Out, In, Reason, To, From, Method, ImportField::Direction}));
    EXPECT_EQ(columnsFor({u"Datum"_s, u"Soll"_s, u"Haben"_s, u"Buchungstext"_s, u"Saldo"_s, u"Kontonummer"_s}),
              (QList{Date, Out, In, Reason, Ignore, Ignore}));
    EXPECT_EQ(columnsFor({u"Value date"_s, u"Value"_s, u"Total"_s, u"Memo"_s}), (QList{Date, Amount, Ignore, Reason}));
    EXPECT_EQ(columnsFor({u"Datum"_s, u"Betrag"_s, u"Beguenstigter/Zahlungspflichtiger"_s, u"Payee / Payer"_s,
                          u"Name"_s, u"Empfänger/IBAN"_s}),
              (QList{Date, Amount, Counterparty, Ignore, Ignore, To}));
}

TEST(ImportLayout, GuessesFromTheContentsWhereNoTitleTells)
{
    const ImportLayout layout = guessLayout(tableOf({
        {u"17"_s, u"14.03.2024"_s, u"Bakery near the station"_s, u"-4,50"_s, u"1.234,00"_s, u"ok"_s},
        {u"18"_s, u"15.03.2024"_s, u"Rent for March"_s, u"-650,00"_s, u"584,00"_s, u"ok"_s},
        {u"19"_s, u"18.03.2024"_s, u"Refund"_s, u"12,00"_s, u"596,00"_s, u""_s},
    }));
    EXPECT_EQ(layout.headerRow, -1);
    EXPECT_EQ(layout.columns, (QList{Ignore, Date, Reason, Amount, Ignore, Ignore}));
    EXPECT_EQ(layout.dateOrder, DateOrder::DMY);
    EXPECT_EQ(layout.decimalMark, DecimalMark::Comma);

    // Unknown titles are guessed alike; known ones stay as they are named.
    const ImportLayout titled = guessLayout(tableOf({{u"Fecha"_s, u"Concepto"_s, u"Importe"_s, u"Saldo"_s},
                                                     {u"03/14/2024"_s, u"Panadería"_s, u"-4.50"_s, u"1,234.00"_s}}));
    EXPECT_EQ(titled.headerRow, 0);
    EXPECT_EQ(titled.columns, (QList{Date, Reason, Amount, Ignore}));
    EXPECT_EQ(titled.dateOrder, DateOrder::MDY);
    EXPECT_EQ(titled.decimalMark, DecimalMark::Point);
}

TEST(ImportRows, TurnEachRowIntoAnEntryOrSayWhyNot)
{
    const ImportTable table = tableOf({{u"Date"_s, u"Amount"_s, u"Reason"_s, u"Direction"_s},
                                       {u"14.03.2024"_s, u"-12,50"_s, u"  Bakery  "_s},
                                       {u"15.03.2024"_s, u"1.234,50"_s, u"Salary"_s, u""_s, u"extra cell"_s},
                                       {u"16.03.2024"_s, u"-12,50"_s, u"Refund"_s, u"Received"_s},
                                       {u"17.03.2024"_s, u"12,50"_s, u"=cmd|' /C calc'!A0"_s, u"S"_s},
                                       {u""_s, u" "_s},
                                       {u""_s, u"12,50"_s},
                                       {u"31.02.2024"_s, u"12,50"_s},
                                       {u"18.03.2024"_s},
                                       {u"18.03.2024"_s, u"12.50.1"_s},
                                       {u"18.03.2024"_s, u"12,50"_s, u""_s, u"maybe"_s},
                                       {u"this is a very long text that no date is made of"_s, u"1"_s}});
    ImportLayout layout = guessLayout(table);
    EXPECT_EQ(layout.columns, (QList{Date, Amount, Reason, ImportField::Direction, Ignore}));
    EXPECT_EQ(describeAll(convertRows(table, layout)),
              (QStringList{u"2024-03-14 12.50 Paid Out | Bakery |  |  |  | "_s,
                           u"2024-03-15 1234.50 Received | Salary |  |  |  | "_s,
                           u"2024-03-16 12.50 Received | Refund |  |  |  | "_s,
                           u"2024-03-17 12.50 Paid Out | =cmd|' /C calc'!A0 |  |  |  | "_s, u"row 5: (blank)"_s,
                           u"row 6: No date"_s, u"row 7: Unreadable date \"31.02.2024\""_s, u"row 8: No amount"_s,
                           u"row 9: Unreadable amount \"12.50.1\""_s, u"row 10: Unknown direction \"maybe\""_s,
                           u"row 11: Unreadable date \"this is a very long text that…\""_s}));

    layout.columns = {Ignore, Amount, Reason, ImportField::Direction};
    EXPECT_EQ(describe(convertRow(table, 1, layout)), u"row 1: No date"_s);
}

TEST(ImportRows, AControlCharacterMakesTheRowUnreadable)
{
    const ImportLayout layout{
        -1, {Date, Amount, Reason, Counterparty, Notes, Ignore}, DateOrder::YMD, DecimalMark::Point};
    const auto rowWith = [&](int column, const QString& text) {
        QStringList row{u"2024-03-14"_s, u"5"_s, u"Bakery"_s, u"Baker"_s, u"note"_s, u"id"_s};
        row[column] = text;
        return describe(convertRow(tableOf({row}), 0, layout));
    };
    const struct
    {
        int column;
        QString text, expected;
    } cases[] = {
        {4, u"a\0b"_s, u"row 0: Control character U+0000 in Notes"_s},
        {2, u"Bakery\x1B[2J"_s, u"row 0: Control character U+001B in Reason"_s},
        {3, u"\x7"_s + u"Baker"_s, u"row 0: Control character U+0007 in From or To"_s},
        {0, u"2024-03-14\x1F"_s, u"row 0: Control character U+001F in Date"_s},
        {1, u"\b5"_s, u"row 0: Control character U+0008 in Amount (signed)"_s},
        // Tabs and line breaks are text; a column left out is never stored.
        {4, u"one\ttwo\r\nthree"_s, u"2024-03-14 5.00 Received | Bakery | Baker |  |  | one\ttwo\r\nthree"_s},
        {5, u"\0"_s, u"2024-03-14 5.00 Received | Bakery | Baker |  |  | note"_s},
    };
    for (const auto& [column, text, expected] : cases)
        EXPECT_EQ(rowWith(column, text), expected) << text.toStdString();
}

TEST(ImportRows, DirectionWordsOverrideTheSign)
{
    const ImportLayout layout{-1, {Date, Amount, ImportField::Direction}, DateOrder::YMD, DecimalMark::Point};
    const auto directionOf = [&](const QString& amount, const QString& word) {
        const ImportRow row = convertRow(tableOf({{u"2024-03-14"_s, amount, word}}), 0, layout);
        return row.entry ? std::pair{std::optional(row.entry->direction), row.entry->amount}
                         : std::pair{std::optional<::Direction>(), 0.0};
    };
    for (const QString& word : {u"Received"_s, u"in"_s, u"CREDIT"_s, u"cr"_s, u"H"_s, u"Haben"_s, u"+"_s})
        EXPECT_EQ(directionOf(u"-5"_s, word), std::pair(std::optional(Direction::Received), 5.0)) << word.toStdString();
    for (const QString& word : {u"Paid Out"_s, u"OUT"_s, u"debit"_s, u"DR"_s, u"s"_s, u"soll"_s, u"-"_s})
        EXPECT_EQ(directionOf(u"5"_s, word), std::pair(std::optional(Direction::PaidOut), 5.0)) << word.toStdString();
    EXPECT_EQ(directionOf(u"-5"_s, u""_s), std::pair(std::optional(Direction::PaidOut), 5.0));
}

TEST(ImportRows, ACounterpartyIsThePayerOfMoneyReceivedAndThePayeeOfMoneyPaidOut)
{
    const ImportLayout layout{
        -1, {Date, Amount, Counterparty, From, ImportField::Direction}, DateOrder::YMD, DecimalMark::Point};
    const ImportTable table = tableOf({{u"2024-03-01"_s, u"-5"_s, u"Bakery"_s},
                                       {u"2024-03-02"_s, u"5"_s, u"Employer"_s, u"Payroll"_s},
                                       {u"2024-03-03"_s, u"5"_s, u"Bank"_s, u""_s, u"Paid Out"_s}});
    EXPECT_EQ(describeAll(convertRows(table, layout)),
              (QStringList{u"2024-03-01 5.00 Paid Out |  |  | Bakery |  | "_s,
                           u"2024-03-02 5.00 Received |  | Payroll Employer |  |  | "_s,
                           u"2024-03-03 5.00 Paid Out |  |  | Bank |  | "_s}));
}

TEST(ImportRows, SeparateInAndOutColumns)
{
    const ImportLayout layout{-1, {Date, In, Out, Reason, Reason}, DateOrder::DMY, DecimalMark::Comma};
    const ImportTable table = tableOf({{u"01.03.2024"_s, u"12,50"_s, u""_s, u"Refund"_s, u"shop"_s},
                                       {u"02.03.2024"_s, u""_s, u"8,00"_s},
                                       {u"03.03.2024"_s, u"0,00"_s, u"-8,00"_s, u""_s, u"fee"_s},
                                       {u"04.03.2024"_s, u"0,00"_s, u""_s},
                                       {u"05.03.2024"_s, u""_s, u""_s},
                                       {u"06.03.2024"_s, u"1,00"_s, u"2,00"_s},
                                       {u"07.03.2024"_s, u"x"_s, u"2,00"_s}});
    EXPECT_EQ(
        describeAll(convertRows(table, layout)),
        (QStringList{u"2024-03-01 12.50 Received | Refund shop |  |  |  | "_s,
                     u"2024-03-02 8.00 Paid Out |  |  |  |  | "_s, u"2024-03-03 8.00 Paid Out | fee |  |  |  | "_s,
                     u"2024-03-04 0.00 Received |  |  |  |  | "_s, u"row 4: No amount"_s,
                     u"row 5: Both In and Out hold an amount"_s, u"row 6: Unreadable amount \"x\""_s}));
}

// What the ledger list writes to a workbook, read back: the same entries, in every user's formats.
TEST(ImportRows, OurOwnExportReadsBackAsTheSameEntries)
{
    struct Format
    {
        const char* locale;
        QString symbol; // empty: the locale's own
        bool before;
    };
    for (const Format& format :
         {Format{"en_US", {}, true}, Format{"de_DE", {}, false}, Format{"fr_FR", {}, false},
          Format{"de_CH", u"CHF"_s, true}, Format{"sv_SE", u"kr."_s, false}, Format{"en_GB", {}, true}}) {
        const char* name = format.locale;
        const QLocale locale{QString::fromLatin1(name)};
        QLocale::setDefault(locale);
        BuildMoneyFormat(format.symbol, format.before ? u"1"_s : u"0"_s);
        QString dateFormat = locale.dateFormat(QLocale::ShortFormat);
        if (!dateFormat.contains(u"yyyy"))
            dateFormat.replace(u"yy"_s, u"yyyy"_s);

        const std::vector<ImportedEntry> entries{
            {QDate(2024, 3, 1), 1234.56, Direction::Received, u"Salary"_s, u"Employer Ltd"_s, u"Me"_s, u"Transfer"_s,
             u"March"_s},
            {QDate(2024, 3, 2), 0.5, Direction::PaidOut, u"Stamps"_s, u"Me"_s, u"Post office"_s, u"Cash"_s, u""_s},
            {QDate(2024, 3, 14), 65000, Direction::PaidOut, u"Car, used"_s, u"Me"_s, u"Dealer"_s, u"Cheque"_s,
             u"a \"bargain\""_s}};
        ImportTable table{
            {{u"ID"_s, u"Date"_s, u"Amount"_s, u"Reason"_s, u"From"_s, u"To"_s, u"Method"_s, u"Notes"_s, u"In/Out"_s}}};
        int id = 1;
        for (const ImportedEntry& e : entries)
            table.rows.append({QString::number(id++), locale.toString(e.date, dateFormat), FormatMoney(e.amount),
                               e.reason, e.fromCompany, e.toCompany, e.paymentMethod, e.notes,
                               directionText(e.direction)});

        const ImportLayout layout = guessLayout(table);
        EXPECT_EQ(layout.columns,
                  (QList{Ignore, Date, Amount, Reason, From, To, Method, Notes, ImportField::Direction}))
            << name;
        const std::vector<ImportRow> rows = convertRows(table, layout);
        ASSERT_EQ(rows.size(), entries.size()) << name;
        for (size_t i = 0; i < rows.size(); ++i) {
            ImportRow expected{int(i) + 1, entries[i], {}};
            EXPECT_EQ(describe(rows[i]), describe(expected))
                << name << " " << table.rows[int(i) + 1].join(u" | ").toStdString();
        }
    }
}

// The sample statements, entry by entry.
TEST(ImportFiles, SampleStatementsGiveTheirEntries)
{
    for (const SampleStatement& sample : sampleStatements()) {
        QStringList entries;
        for (const ImportRow& row : importedFile(sample.file)) {
            if (!row.entry) {
                entries << describe(row);
                continue;
            }
            const ImportedEntry& e = *row.entry;
            entries << QStringList{e.date.toString(Qt::ISODate),
                                   QString::number(e.amount, 'f', 2),
                                   e.direction == Direction::Received ? u"in"_s : u"out"_s,
                                   e.reason,
                                   e.fromCompany,
                                   e.toCompany,
                                   e.paymentMethod,
                                   e.notes}
                           .join(u'|');
        }
        EXPECT_EQ(entries, sample.entries) << sample.file.toStdString();
    }
}
