#pragma once

#include "base/direction.h"
#include "ledgerlist/rankedfield.h"

#include <QDate>
#include <QString>
#include <optional>
#include <utility>

// What the find bar asks of an entry. Empty fields ask nothing.
struct LedgerFilter
{
    QString text; // in Reason, From, To, Method or Notes, without regard to case or accents
    std::optional<QDate> from, to;
    std::optional<double> minAmount, maxAmount;
    std::optional<Direction> direction; // none: both
    // This text field holds exactly this text, case and accents as stored ("" for none): a
    // drill-down from the statistics shows just the entries a figure adds up.
    std::optional<std::pair<RankedField, QString>> exactText;

    bool isEmpty() const;
    // True when every entry this filter shows is also shown by `wider`, so that refiltering can
    // start from what `wider` shows (the user typed one more letter).
    bool narrows(const LedgerFilter& wider) const;
    bool operator==(const LedgerFilter&) const = default;
};
