#include "base/clock.h"

namespace {
std::optional<QDate>& pinned()
{
    static std::optional<QDate> date;
    return date;
}
} // namespace

QDate today()
{
    return pinned().value_or(QDate::currentDate());
}

ScopedToday::ScopedToday(QDate date) : previous_(pinned())
{
    pinned() = date;
}

ScopedToday::~ScopedToday()
{
    pinned() = previous_;
}

QDateTime now()
{
    return QDateTime::currentDateTime();
}
