#include "ui/entry/picklist.h"

#include <QAbstractItemModel>

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
    // After every item that sorts before or equal to it, so equal items keep the order they came in.
    int low = 0, high = model.rowCount();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (collator.compare(item, model.index(middle, 0).data().toString()) < 0)
            high = middle;
        else
            low = middle + 1;
    }
    return low;
}
