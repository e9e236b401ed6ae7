#pragma once

#include "ledgerlist/ledgerstatistics.h"

#include <QDate>
#include <QStringList>

// The periods the statistics window offers, in the order of its list.
enum class PeriodChoice { ThisMonth, LastMonth, ThisYear, LastYear, Last12Months, AllEntries, Dates };

// The names of the choices, in their order.
QStringList periodChoiceNames();

// The dates a choice covers on `today`; Dates takes `from` and `to` as they stand, All entries
// leaves both ends open.
StatisticsScope periodScope(PeriodChoice choice, QDate today, QDate from, QDate to, StatisticsStep step);

// How the window names a step: "Mar 2024", "Q1 2024" or "2024".
QString stepName(const StepFigures& figures, StatisticsStep step);
