#pragma once

#include "base/direction.h"

#include <QDate>
#include <QString>

// One ledger entry as the windows write it.
struct Entry
{
    qint64 id = 0; // 0 until the ledger has given it one
    QDate date;
    QString reason;
    QString fromCompany;
    QString toCompany;
    QString amountText; // as typed; the ledger reads it as a number in the user's format
    QString paymentMethod;
    QString notes;
    Direction direction = Direction::Received;
};
