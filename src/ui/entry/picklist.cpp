#include "ui/entry/picklist.h"

#include <QAbstractItemModel>
#include <algorithm>
#include <ranges>

QStringList pickListItems(QStringView text)
{
    QStringList items;
    for (QStringView piece : text.split(u'|', Qt::SkipEmptyParts))
        items.append(piece.toString());
    return items;
}

QString pickListText(const QStringList& items)
{
    return items.join(u'|');
}

QCollator pickListCollator(const QLocale& locale)
{
    QCollator collator(locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return collator;
}

int sortedRow(const QAbstractItemModel& model, const QString& item, const QCollator& collator)
{
    const auto rows = std::views::iota(0, model.rowCount());
    const auto text = [&](int row) { return model.index(row, 0).data().toString(); };
    const auto before = [&](const QString& a, const QString& b) { return collator.compare(a, b) < 0; };
    return int(std::ranges::upper_bound(rows, item, before, text) - rows.begin());
}
