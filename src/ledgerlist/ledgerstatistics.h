#pragma once
#include "base/direction.h"
#include "ledgerlist/ledgerfilter.h"
#include "ledgerlist/rankedfield.h"

#include <QDate>
#include <QString>
#include <array>
#include <optional>
#include <vector>

class LedgerModel;

enum class StatisticsStep { Month, Quarter, Year };

// The entries the figures add up: those of `rows` (rows of the ledger model) dated within
// [from, to]; an open end takes the earliest or latest date among them.
struct StatisticsScope
{
    std::optional<QDate> from, to;
    StatisticsStep step = StatisticsStep::Month;
};

// One step of the period (a calendar month, quarter or year, clipped to the period).
struct StepFigures
{
    QDate first, last;
    double received = 0, paid = 0;
    double balance = 0; // at the step's end, counting every usable entry of `rows` before the period too
};

// A Reason, From, To or Method and what its entries of one direction add up to in the period.
struct RankedFigure
{
    QString name; // the stored text ("" for entries without one); for the rest line: empty
    double amount = 0;
    double share = 0; // of the direction's total in the period, 0..1
    qsizetype entries = 0;
    bool isRest = false; // the "Everything else" line
};

struct LedgerStatistics
{
    std::vector<StepFigures> steps; // every step of the period in order, empty ones included
    double balanceBefore = 0;       // of the usable entries dated before the period
    double received = 0, paid = 0;  // in the period
    qsizetype entries = 0;          // usable entries in the period
    qsizetype unusable = 0;         // entries of `rows` without a valid date or without an amount, or of no direction
    // Per RankedField, of `rankedDirection`, largest first (ties by name in code point order), at
    // most `top` lines and then one rest line when more remain.
    std::array<std::vector<RankedFigure>, 4> ranked;
};

// Works the figures out in one pass over the rows in memory, on every core for a long list.
LedgerStatistics computeStatistics(const LedgerModel& model, const std::vector<int>& rows, const StatisticsScope& scope,
                                   Direction rankedDirection, int top = 12);

// The list's filter that shows just the entries a figure adds up: those of `direction` dated in
// [first, last] that have an amount and, for a ranked figure other than the rest line, `text`.
LedgerFilter figureEntries(QDate first, QDate last, Direction direction,
                           std::optional<std::pair<RankedField, QString>> text = {});
