#pragma once

// The texts of an entry that the statistics rank and a drill-down matches exactly: the model's
// text numbers 1..4 (reason, from, to, method) minus one.
enum class RankedField { Reason, From, To, Method };

// The model's text number of a ranked field (LedgerModel::storedText).
constexpr int storedTextNumber(RankedField field)
{
    return int(field) + 1;
}
