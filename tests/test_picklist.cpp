#include "ui/entry/picklist.h"

#include <QStringListModel>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(PickListText, ReadingDropsEmptyPiecesOnlyAndKeepsBlanksAndDuplicates)
{
    EXPECT_EQ(pickListItems(u"Rent||Job|"), (QStringList{u"Rent"_s, u"Job"_s}));
    EXPECT_EQ(pickListItems(u"|Rent|Rent| Job "), (QStringList{u"Rent"_s, u"Rent"_s, u" Job "_s}));
    EXPECT_EQ(pickListItems(u"  "), QStringList{u"  "_s});
    EXPECT_TRUE(pickListItems(u"").isEmpty());
    EXPECT_TRUE(pickListItems(u"|||").isEmpty());
}

TEST(PickListText, StoredFormHasSeparatorsOnlyBetweenItems)
{
    EXPECT_EQ(pickListText({u"Job"_s, u"Rent"_s}), u"Job|Rent"_s);
    EXPECT_EQ(pickListText({u"Job"_s}), u"Job"_s);
    EXPECT_EQ(pickListText({}), QString());
    const QStringList items{u" a "_s, u"ß"_s, u"a"_s, u"a"_s, u"O'Brien"_s};
    EXPECT_EQ(pickListItems(pickListText(items)), items);
    // An item holding the separator reads back as two.
    EXPECT_EQ(pickListItems(pickListText({u"Gas|Oil"_s})), (QStringList{u"Gas"_s, u"Oil"_s}));
}

namespace {

QStringList sortedByInsertion(const QStringList& items, const QLocale& locale = QLocale(QLocale::English))
{
    const QCollator collator = pickListCollator(locale);
    QStringListModel model;
    for (const QString& item : items) {
        const int row = sortedRow(model, item, collator);
        model.insertRow(row);
        model.setData(model.index(row), item);
    }
    return model.stringList();
}

} // namespace

TEST(PickListOrder, AlphabeticalIgnoringCaseWithEqualItemsSideBySideInArrivalOrder)
{
    EXPECT_EQ(sortedByInsertion({u"rent"_s, u"Water Bill"_s, u"apple"_s, u"Rent"_s, u"Job"_s, u"rent"_s}),
              (QStringList{u"apple"_s, u"Job"_s, u"rent"_s, u"Rent"_s, u"rent"_s, u"Water Bill"_s}));
    EXPECT_EQ(sortedByInsertion({u"Zebra"_s, u"Éclair"_s, u"eagle"_s, u"Echo"_s}),
              (QStringList{u"eagle"_s, u"Echo"_s, u"Éclair"_s, u"Zebra"_s}));
    EXPECT_TRUE(sortedByInsertion({}).isEmpty());
}

TEST(PickListOrder, FollowsTheLocaleAlphabet)
{
    // Swedish puts Ä after Z; German files it with A.
    const QStringList items{u"Zink"_s, u"Äpple"_s, u"Apelsin"_s};
    EXPECT_EQ(sortedByInsertion(items, QLocale(QLocale::Swedish, QLocale::Sweden)),
              (QStringList{u"Apelsin"_s, u"Zink"_s, u"Äpple"_s}));
    EXPECT_EQ(sortedByInsertion(items, QLocale(QLocale::German, QLocale::Germany)),
              (QStringList{u"Apelsin"_s, u"Äpple"_s, u"Zink"_s}));
}
