#pragma once

#include <QString>
#include <optional>

// Which way money moved. The values are the ones the ledger stores.
enum class Direction : quint8 { Received = 1, PaidOut = 2 };

// The direction a stored value means; none for anything but 1 and 2.
constexpr std::optional<Direction> directionFromStored(qint64 stored)
{
    if (stored == qint64(Direction::Received) || stored == qint64(Direction::PaidOut))
        return Direction(stored);
    return std::nullopt;
}

constexpr int storedValue(Direction direction)
{
    return int(direction);
}

// "Received" or "Paid Out", as the list and the sheets show it.
inline QString directionText(Direction direction)
{
    return direction == Direction::Received ? QStringLiteral("Received") : QStringLiteral("Paid Out");
}
