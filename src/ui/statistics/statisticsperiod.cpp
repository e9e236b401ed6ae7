#include "ui/statistics/statisticsperiod.h"

#include <QCoreApplication>
#include <QLocale>

QStringList periodChoiceNames()
{
    const auto tr = [](const char* text) { return QCoreApplication::translate("Statistics", text); };
    return {tr("This month"),     tr("Last month"),  tr("This year"), tr("Last year"),
            tr("Last 12 months"), tr("All entries"), tr("From / To")};
}

StatisticsScope periodScope(PeriodChoice choice, QDate today, QDate from, QDate to, StatisticsStep step)
{
    const QDate monthStart(today.year(), today.month(), 1);
    StatisticsScope scope;
    scope.step = step;
    switch (choice) {
    case PeriodChoice::ThisMonth:
        scope.from = monthStart;
        scope.to = monthStart.addMonths(1).addDays(-1);
        break;
    case PeriodChoice::LastMonth:
        scope.from = monthStart.addMonths(-1);
        scope.to = monthStart.addDays(-1);
        break;
    case PeriodChoice::ThisYear:
        scope.from = QDate(today.year(), 1, 1);
        scope.to = QDate(today.year(), 12, 31);
        break;
    case PeriodChoice::LastYear:
        scope.from = QDate(today.year() - 1, 1, 1);
        scope.to = QDate(today.year() - 1, 12, 31);
        break;
    case PeriodChoice::Last12Months:
        // The current month and the eleven before it, whole.
        scope.from = monthStart.addMonths(-11);
        scope.to = monthStart.addMonths(1).addDays(-1);
        break;
    case PeriodChoice::AllEntries:
        break;
    case PeriodChoice::Dates:
        scope.from = std::min(from, to);
        scope.to = std::max(from, to);
        break;
    }
    return scope;
}

QString stepName(const StepFigures& figures, StatisticsStep step)
{
    const QDate first = figures.first;
    switch (step) {
    case StatisticsStep::Month:
        return QLocale().toString(first, QStringLiteral("MMM yyyy"));
    case StatisticsStep::Quarter:
        return QStringLiteral("Q%1 %2").arg((first.month() - 1) / 3 + 1).arg(first.year());
    case StatisticsStep::Year:
        break;
    }
    return QString::number(first.year());
}
