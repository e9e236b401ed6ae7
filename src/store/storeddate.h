#pragma once

#include <QByteArrayView>
#include <QDate>

// A stored date text ('YYYY-MM-DD', optionally followed by a time) as a date; invalid otherwise.
QDate parseStoredDate(QByteArrayView text);
