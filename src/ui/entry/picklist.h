#pragma once

#include <QCollator>
#include <QLocale>
#include <QString>
#include <QStringList>

class QAbstractItemModel;

// A pick list is stored as one text: its items joined by "|", nothing escaped.

// The items of a stored text: split at every "|", empty pieces dropped, blanks and duplicates kept.
QStringList pickListItems(QStringView text);

// The stored text of a list: the items joined by "|"; the empty text for no items.
QString pickListText(const QStringList& items);

// The order people expect of a list: by the locale's alphabet, letter case ignored.
QCollator pickListCollator(const QLocale& locale = QLocale());

// The row at which `item` belongs in a model already in that order: after every item it
// compares equal to, so equal items stay side by side in the order they were added.
int sortedRow(const QAbstractItemModel& model, const QString& item, const QCollator& collator);
