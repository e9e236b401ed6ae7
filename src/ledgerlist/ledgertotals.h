#pragma once

#include "base/direction.h"

#include <QString>
#include <optional>

// The Received and Paid totals as the list's summary adds them up: entry by entry in the ledger's
// order, an entry of neither direction counting in neither.
struct LedgerTotals
{
    double received = 0;
    double paid = 0;

    void add(std::optional<Direction> direction, double amount)
    {
        if (direction == Direction::Received)
            received += amount;
        else if (direction == Direction::PaidOut)
            paid += amount;
    }
    double balance() const { return received - paid; }
};

// The summary's captions in the user's money format: "Received: …", "Paid: …" and "Balance: …".
QString receivedCaption(double total);
QString paidCaption(double total);
QString balanceCaption(double balance);
