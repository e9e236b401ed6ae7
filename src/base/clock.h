#pragma once

#include <QDate>
#include <QDateTime>
#include <optional>

// Today's date; tests pin it with ScopedToday.
QDate today();

// The present moment, for the names and the keeping rule of backups.
QDateTime now();

class ScopedToday
{
public:
    explicit ScopedToday(QDate date);
    ~ScopedToday();
    ScopedToday(const ScopedToday&) = delete;
    ScopedToday& operator=(const ScopedToday&) = delete;

private:
    std::optional<QDate> previous_;
};
