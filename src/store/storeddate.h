#pragma once

#include <QByteArrayView>
#include <QDate>

// A stored date text ('YYYY-MM-DD', optionally followed by a time) as a date; invalid otherwise.
QDate parseStoredDate(QByteArrayView text);

// The ledger's CDate reading of a text: a stored date (as the #MM/DD/YYYY# literals are handed on)
// or a date in the user's short or long format; invalid when it reads as neither. Every engine
// reads CDate's texts with this, so each gives the same dates.
QDate readDateText(QByteArrayView utf8);
