#pragma once

#include <QString>

// The shortest text with a "." that reads back as the same double, never in exponent form.
QString numberText(double value);

// A serial day number as an ISO date ("2024-03-14"); a time of day in it is dropped. The 1900 system
// counts the 29 February 1900 that never was (serial 60); the 1904 system starts on 1 January 1904.
// Serials outside the calendar stay numbers.
QString serialDateText(double serial, bool date1904);

// The time of day of a serial as "hh:mm:ss", to the nearest second.
QString serialTimeText(double serial);
