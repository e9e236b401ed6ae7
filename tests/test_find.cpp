// Find and sort through the real main window: the find bar filters as the user types, a column
// header click sorts, and every command acts on the entry the user sees selected.
#include "base/paths.h"
#include "ledgerlist/foldedtext.h"
#include "ledgerlist/ledgerfilter.h"
#include "ledgerlist/ledgermodel.h"
#include "ledgerlist/ledgerview.h"
#include "support/fakespreadsheet.h"
#include "support/ledgerfixture.h"
#include "support/ledgersnapshot.h"
#include "support/mainwindow.h"
#include "support/modal.h"
#include "support/printers.h"
#include "support/windowdriver.h"
#include "support/xlsxreader.h"
#include "ui/main/findbar.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

Entry entry(const QString& reason, const QString& from, const QString& amount, QDate date,
            Direction direction = Direction::Received, const QString& notes = {})
{
    Entry e = sampleEntry(reason, amount, direction);
    e.fromCompany = from;
    e.date = date;
    e.notes = notes;
    return e;
}

class FindTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        listEntries({
            entry(u"Rent"_s, u"Müller GmbH"_s, u"100"_s, QDate(2024, 1, 5), Direction::PaidOut),
            entry(u"Gig"_s, u"Tobren"_s, u"9"_s, QDate(2023, 6, 1), Direction::Received, u"Café de la Paix"_s),
            entry(u"guitar lesson"_s, u"Zoë Carter"_s, u"10.5"_s, QDate(2024, 3, 9)),
            entry(u"Électricité"_s, u"Marrowfen"_s, u"1000"_s, QDate(2022, 12, 31), Direction::PaidOut),
            entry(u"apple crate"_s, u"Marrowfen"_s, u"9"_s, QDate(2024, 1, 5)),
        });
    }

    QAbstractItemModel* list() const { return window.listView()->model(); }
    // The reasons the list shows, top to bottom.
    QStringList shownReasons() const
    {
        QStringList reasons;
        for (int row = 0; row < list()->rowCount(); ++row)
            reasons.append(list()->index(row, 3).data().toString());
        return reasons;
    }
    QString summary() const { return control<QLabel>(&window, u"FindSummary"_s)->text(); }

    void openFind()
    {
        QApplication::setActiveWindow(&window);
        window.listView()->setFocus();
        QTest::keyClick(window.windowHandle(), Qt::Key_F, Qt::ControlModifier);
    }
    void type(const QString& text) { QTest::keyClicks(QApplication::focusWidget(), text); }
    void clickHeader(int column)
    {
        QHeaderView* header = window.listView()->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
    }
    void selectShownRow(int row) { window.listView()->selectRow(row); }
};

} // namespace

TEST_F(FindTest, TypingFiltersWithoutRegardToCaseOrAccents)
{
    openFind();
    ASSERT_TRUE(window.findBar()->isVisible());
    ASSERT_EQ(QApplication::focusWidget(), window.findBar()->textField());
    type(u"MULLER"_s);
    EXPECT_EQ(shownReasons(), QStringList{u"Rent"_s});
    EXPECT_TRUE(summary().startsWith(u"1 of 5 entries"_s)) << summary().toStdString();
    EXPECT_TRUE(summary().contains(u"Paid: $ 100.00"_s)) << summary().toStdString();

    window.findBar()->textField()->clear();
    type(u"cafe"_s); // in the notes
    EXPECT_EQ(shownReasons(), QStringList{u"Gig"_s});
    window.findBar()->textField()->clear();
    type(u"electricite"_s);
    EXPECT_EQ(shownReasons(), QStringList{u"Électricité"_s});
    window.findBar()->textField()->clear();
    window.findBar()->textField()->insert(u"zoë"_s); // what an input method types
    EXPECT_EQ(shownReasons(), QStringList{u"guitar lesson"_s});
    // The designed summary keeps the whole ledger's totals.
    EXPECT_EQ(summaryCaptions(window)[0], u"Received: $ 28.50");

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(window.findBar()->isVisible());
    EXPECT_EQ(list()->rowCount(), 5);
}

TEST_F(FindTest, DateAmountAndDirectionNarrowTheList)
{
    openFind();
    control<QCheckBox>(&window, u"FindFrom"_s)->setChecked(true);
    control<QDateEdit>(&window, u"FindFromDate"_s)->setDate(QDate(2024, 1, 1));
    EXPECT_EQ(shownReasons(), (QStringList{u"Rent"_s, u"guitar lesson"_s, u"apple crate"_s}));
    control<QCheckBox>(&window, u"FindTo"_s)->setChecked(true);
    control<QDateEdit>(&window, u"FindToDate"_s)->setDate(QDate(2024, 1, 5));
    EXPECT_EQ(shownReasons(), (QStringList{u"Rent"_s, u"apple crate"_s}));
    control<QComboBox>(&window, u"FindDirection"_s)->setCurrentIndex(1); // Received
    EXPECT_EQ(shownReasons(), QStringList{u"apple crate"_s});

    control<QComboBox>(&window, u"FindDirection"_s)->setCurrentIndex(0);
    control<QCheckBox>(&window, u"FindFrom"_s)->setChecked(false);
    control<QCheckBox>(&window, u"FindTo"_s)->setChecked(false);
    control<QLineEdit>(&window, u"FindMinAmount"_s)->setText(u"9.5"_s);
    control<QLineEdit>(&window, u"FindMaxAmount"_s)->setText(u"100"_s);
    EXPECT_EQ(shownReasons(), (QStringList{u"Rent"_s, u"guitar lesson"_s}));

    // An amount that is no number says so and asks nothing.
    control<QLineEdit>(&window, u"FindMaxAmount"_s)->setText(u"lots"_s);
    EXPECT_EQ(shownReasons(), (QStringList{u"Rent"_s, u"guitar lesson"_s, u"Électricité"_s}));
    EXPECT_TRUE(summary().startsWith(u"\"lots\" is not an amount."_s)) << summary().toStdString();
}

TEST_F(FindTest, EntriesOnABoundDateOrAmountAreShown)
{
    // Around March 2024 and the amounts 25 to 50: one entry on each bound and one just outside.
    listEntries({
        entry(u"day before From"_s, u"Edgeworth"_s, u"24.99"_s, QDate(2024, 2, 29)),
        entry(u"on From"_s, u"Edgeworth"_s, u"25"_s, QDate(2024, 3, 1)),
        entry(u"on To"_s, u"Edgeworth"_s, u"50"_s, QDate(2024, 3, 31)),
        entry(u"day after To"_s, u"Edgeworth"_s, u"50.01"_s, QDate(2024, 4, 1)),
    });
    const struct
    {
        std::optional<QDate> from, to;
        QString minAmount, maxAmount;
        QStringList shown;
    } cases[] = {
        {QDate(2024, 3, 1), {}, {}, {}, {u"on From"_s, u"on To"_s, u"day after To"_s}},
        {{}, QDate(2024, 3, 31), {}, {}, {u"day before From"_s, u"on From"_s, u"on To"_s}},
        {QDate(2024, 3, 1), QDate(2024, 3, 31), {}, {}, {u"on From"_s, u"on To"_s}},
        {{}, {}, u"25"_s, {}, {u"on From"_s, u"on To"_s, u"day after To"_s}},
        {{}, {}, {}, u"50"_s, {u"day before From"_s, u"on From"_s, u"on To"_s}},
        {{}, {}, u"25"_s, u"50"_s, {u"on From"_s, u"on To"_s}},
    };
    openFind();
    type(u"edgeworth"_s);
    for (const auto& c : cases) {
        control<QCheckBox>(&window, u"FindFrom"_s)->setChecked(c.from.has_value());
        control<QDateEdit>(&window, u"FindFromDate"_s)->setDate(c.from.value_or(QDate(2000, 1, 1)));
        control<QCheckBox>(&window, u"FindTo"_s)->setChecked(c.to.has_value());
        control<QDateEdit>(&window, u"FindToDate"_s)->setDate(c.to.value_or(QDate(2000, 1, 1)));
        control<QLineEdit>(&window, u"FindMinAmount"_s)->setText(c.minAmount);
        control<QLineEdit>(&window, u"FindMaxAmount"_s)->setText(c.maxAmount);
        EXPECT_EQ(shownReasons(), c.shown)
            << "from " << c.from.value_or(QDate()).toString(Qt::ISODate).toStdString() << " to "
            << c.to.value_or(QDate()).toString(Qt::ISODate).toStdString() << ", amounts " << c.minAmount.toStdString()
            << " to " << c.maxAmount.toStdString();
    }
}

TEST_F(FindTest, HeaderClicksSortAsDatesNumbersAndTextsAndASecondClickReverses)
{
    clickHeader(2); // Amount
    EXPECT_EQ(shownReasons(),
              (QStringList{u"Gig"_s, u"apple crate"_s, u"guitar lesson"_s, u"Rent"_s, u"Électricité"_s}))
        << "9 and 9 keep the refill's order";
    EXPECT_TRUE(window.listView()->horizontalHeader()->isSortIndicatorShown());
    clickHeader(2);
    EXPECT_EQ(shownReasons(),
              (QStringList{u"Électricité"_s, u"Rent"_s, u"guitar lesson"_s, u"Gig"_s, u"apple crate"_s}));
    EXPECT_EQ(window.listView()->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);

    clickHeader(1); // Date
    EXPECT_EQ(shownReasons(),
              (QStringList{u"Électricité"_s, u"Gig"_s, u"Rent"_s, u"apple crate"_s, u"guitar lesson"_s}));
    clickHeader(3); // Reason: by letters, not by case or accents
    EXPECT_EQ(shownReasons(),
              (QStringList{u"apple crate"_s, u"Électricité"_s, u"Gig"_s, u"guitar lesson"_s, u"Rent"_s}));
}

TEST_F(FindTest, NumbersInsideTextsSortByTheirValue)
{
    listEntries({
        entry(u"Item 10"_s, u"Quillby"_s, u"1"_s, QDate(2024, 5, 1)),
        entry(u"Item 9"_s, u"Quillby"_s, u"1"_s, QDate(2024, 5, 1)),
        entry(u"Item 100"_s, u"Quillby"_s, u"1"_s, QDate(2024, 5, 1)),
        entry(u"Item 2"_s, u"Quillby"_s, u"1"_s, QDate(2024, 5, 1)),
    });
    openFind();
    type(u"quillby"_s);
    clickHeader(3); // Reason
    EXPECT_EQ(shownReasons(), (QStringList{u"Item 2"_s, u"Item 9"_s, u"Item 10"_s, u"Item 100"_s}));
    clickHeader(3);
    EXPECT_EQ(shownReasons(), (QStringList{u"Item 100"_s, u"Item 10"_s, u"Item 9"_s, u"Item 2"_s}));
}

TEST_F(FindTest, CommandsActOnTheSelectedEntryOfAFilteredSortedListAndTheFilterStays)
{
    clickHeader(2);
    clickHeader(2); // amounts, largest first
    openFind();
    type(u"m"_s); // Müller GmbH and Marrowfen
    ASSERT_EQ(shownReasons(), (QStringList{u"Électricité"_s, u"Rent"_s, u"apple crate"_s}));
    selectShownRow(1);
    press(&window, u"PushButton3"_s); // Delete Selected
    EXPECT_EQ(shownReasons(), (QStringList{u"Électricité"_s, u"apple crate"_s}))
        << "Rent is gone, the filter and the order stay";
    EXPECT_EQ(window.findBar()->textField()->text(), u"m");
    EXPECT_TRUE(summary().startsWith(u"2 of 4 entries"_s)) << summary().toStdString();

    selectShownRow(1);
    QString edited;
    whenModalOpens([&](QWidget* entryWindow) {
        edited = control<QLineEdit>(entryWindow, u"Text1"_s)->text();
        control<QLineEdit>(entryWindow, u"Text1"_s)->setText(u"2000"_s);
        press(entryWindow, u"PushButton2"_s);
    });
    press(&window, u"PushButton1"_s); // Edit Selected
    EXPECT_EQ(edited, u"9");
    EXPECT_EQ(shownReasons(), (QStringList{u"apple crate"_s, u"Électricité"_s}))
        << "the edited entry moves to its place in the order";
}

TEST_F(FindTest, TickedRowsHiddenByTheFilterAreStillExported)
{
    const FakeSpreadsheetHome home;
    home.installProgram();
    tickAll(window);
    openFind();
    type(u"gig"_s);
    ASSERT_EQ(list()->rowCount(), 1);
    press(&window, u"PushButton6"_s);
    ASSERT_EQ(home.launchArguments().size(), 3);
    const XlsxSheet sheet(home.openedWorkbook());
    for (int row = 0; row < 5; ++row)
        EXPECT_FALSE(sheet.text(u"D"_s + QString::number(row + 2)).isEmpty()) << "ledger row " << row;
}

TEST(FoldedText, MatchesWithoutCaseOrAccentsInAnyScript)
{
    const struct
    {
        QString needle, text;
        bool found;
    } cases[] = {
        {u"cafe"_s, u"Le Café"_s, true},        {u"CAFÉ"_s, u"le cafe"_s, true},
        {u"muller"_s, u"Müller GmbH"_s, true},  {u"e\u0301t"_s, u"été"_s, true}, // a combining accent in the needle
        {u"ete"_s, u"e\u0301te\u0301"_s, true}, {u"🎸"_s, u"new 🎸 strings"_s, true},
        {u"straße"_s, u"STRASSE"_s, false}, // one letter folds to one letter only
        {u"ø"_s, u"Ostergade"_s, false},        {u"ab"_s, u"a"_s, false},
        {u""_s, u"anything"_s, true},
    };
    for (const auto& c : cases) {
        const QByteArray utf8 = c.text.toUtf8();
        EXPECT_EQ(FoldedText(c.needle).foundIn(utf8, isAscii(utf8)), c.found)
            << c.needle.toStdString() << " in " << c.text.toStdString();
    }
    // Broken UTF-8 is searched, not trusted.
    EXPECT_FALSE(FoldedText(u"x"_s).foundIn(QByteArrayView("\xC3", 1), false));
    EXPECT_TRUE(FoldedText(u"ab"_s).foundIn(QByteArrayView("\xE2\x82"
                                                           "ab",
                                                           4),
                                            false));
}

TEST(LedgerFilter, OneMoreLetterNarrowsAnythingElseDoesNot)
{
    LedgerFilter wide;
    wide.text = u"gu"_s;
    LedgerFilter narrow = wide;
    narrow.text = u"GUI"_s;
    EXPECT_TRUE(narrow.narrows(wide));
    EXPECT_FALSE(wide.narrows(narrow));
    narrow.direction = Direction::Received;
    EXPECT_FALSE(narrow.narrows(wide));
}

// A drill-down from the statistics: one text field holding exactly one text. The cases run one
// after the other on the same list, so a filter wrongly taken for a narrower one shows too little.
TEST_F(FindTest, AnExactTextShowsOnlyEntriesHoldingJustThatText)
{
    Entry noMethod = entry(u"no method"_s, u"Tobren"_s, u"1"_s, QDate(2024, 2, 1));
    noMethod.paymentMethod.clear();
    listEntries({noMethod});
    const struct
    {
        RankedField field;
        QString exact, text;
        std::optional<Direction> direction;
        QStringList shown;
    } cases[] = {
        {RankedField::From, u"Marrowfen"_s, {}, {}, {u"Électricité"_s, u"apple crate"_s}},
        {RankedField::From, u"Marrowfen"_s, u"apple"_s, {}, {u"apple crate"_s}},
        {RankedField::From, u"Tobren"_s, {}, {}, {u"Gig"_s, u"no method"_s}},
        {RankedField::From, u"marrowfen"_s, {}, {}, {}},
        {RankedField::Reason, u"Electricite"_s, {}, {}, {}},
        {RankedField::Reason, u"Électricité"_s, {}, {}, {u"Électricité"_s}},
        {RankedField::Reason, u"Gi"_s, {}, {}, {}},
        {RankedField::From, u"Zoë Carter"_s, {}, {}, {u"guitar lesson"_s}},
        {RankedField::To, u"Tobren"_s, {}, Direction::PaidOut, {u"Rent"_s, u"Électricité"_s}},
        {RankedField::Method, u""_s, {}, {}, {u"no method"_s}},
        {RankedField::Method,
         u"Cash"_s,
         {},
         {},
         {u"Rent"_s, u"Gig"_s, u"guitar lesson"_s, u"Électricité"_s, u"apple crate"_s}},
    };
    for (const auto& c : cases) {
        LedgerFilter filter;
        filter.exactText = {c.field, c.exact};
        filter.text = c.text;
        filter.direction = c.direction;
        window.ledgerView()->setFilter(filter);
        EXPECT_EQ(shownReasons(), c.shown) << "field " << int(c.field) << " = " << c.exact.toStdString();
    }
}

TEST(LedgerFilter, AnExactTextNarrowsOnlyAFilterWithoutOne)
{
    const auto exact = [](RankedField field, const QString& text, const QString& search = {}) {
        LedgerFilter filter;
        filter.exactText = {field, text};
        filter.text = search;
        return filter;
    };
    const struct
    {
        LedgerFilter filter, wider;
        bool narrows;
    } cases[] = {
        {exact(RankedField::From, u"Tobren"_s), {}, true},
        {exact(RankedField::From, u"Tobren"_s, u"ab"_s), exact(RankedField::From, u"Tobren"_s, u"a"_s), true},
        {exact(RankedField::From, u"Tobren"_s), exact(RankedField::From, u"Marrowfen"_s), false},
        {exact(RankedField::From, u"Tobren"_s), exact(RankedField::To, u"Tobren"_s), false},
        {{}, exact(RankedField::From, u"Tobren"_s), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.filter.narrows(c.wider), c.narrows)
            << c.filter.exactText.value_or(std::pair<RankedField, QString>()).second.toStdString();
    EXPECT_FALSE(exact(RankedField::Reason, {}).isEmpty());
}

// Rows appended by a refill that keeps the others (the export's) are searched as well as the rest.
TEST(LedgerModelTexts, RowsAddedAfterASearchAreSearchedWithTheirOwnAccents)
{
    LedgerModel model;
    LedgerView view(&model);
    const auto append = [&](const char* reason, bool keepRows) {
        LedgerRowValues row;
        row.reason = QByteArrayView(reason);
        model.beginRefill(keepRows);
        model.appendRow(row);
        model.endRefill();
    };
    const auto search = [&](const QString& text) {
        LedgerFilter filter;
        filter.text = text;
        view.setFilter(filter);
    };
    append("Brot", false);
    search(u"brot"_s);
    EXPECT_EQ(view.rowCount(), 1);
    append("Brötchen", true);
    search(u"BROTCHEN"_s);
    EXPECT_EQ(view.rowCount(), 1) << "the new row's text is not taken for ASCII";
    EXPECT_FALSE(model.isAsciiText(1, 1));
    EXPECT_TRUE(model.isAsciiText(0, 1));
}
