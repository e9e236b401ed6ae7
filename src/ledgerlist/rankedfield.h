#pragma once

#include <QCoreApplication>
#include <QString>

// The texts of an entry that the statistics rank and a drill-down matches exactly: the model's
// text numbers 1..4 (reason, from, to, method) minus one.
enum class RankedField { Reason, From, To, Method };

// The field's name as the windows show it, in the user's language.
inline QString rankedFieldName(RankedField field)
{
    static const char* const names[] = {
        QT_TRANSLATE_NOOP("RankedField", "Reason"), QT_TRANSLATE_NOOP("RankedField", "From"),
        QT_TRANSLATE_NOOP("RankedField", "To"), QT_TRANSLATE_NOOP("RankedField", "Method")};
    return QCoreApplication::translate("RankedField", names[int(field)]);
}

// The model's text number of a ranked field (LedgerModel::storedText).
constexpr int storedTextNumber(RankedField field)
{
    return int(field) + 1;
}
