#pragma once

#include <QDate>
#include <optional>

// Today's date; tests pin it with ScopedToday.
QDate today();

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
