#pragma once

#include "store/entryimage.h"

#include <QString>

// What another program changed in an entry, one line a field as the entry window names it:
// "Amount: $ 10.00 → $ 12.50", the values before and now, money and dates as the list shows them.
QString changedFieldsText(const EntryChanged& change);
