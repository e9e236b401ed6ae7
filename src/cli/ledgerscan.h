#pragma once

#include "store/ledgerentries.h"

#include <QDate>
#include <functional>

// The dates a command is limited to (--from, --to), both inclusive; a null end is open.
struct DateRange
{
    QDate from, to;

    bool isOpen() const { return from.isNull() && to.isNull(); }
    // An entry without a valid date is in an open range only: it cannot be placed in a closed one.
    bool holds(QDate date) const
    {
        if (isOpen())
            return true;
        return date.isValid() && (from.isNull() || date >= from) && (to.isNull() || date <= to);
    }
};

// Calls `visit` with every entry of the ledger in `range`, in the ledger's order. Throws StoreError
// when the ledger cannot be read or lacks a column.
void scanEntries(Connection& ledger, const DateRange& range, const std::function<void(const EntryRows&)>& visit);
