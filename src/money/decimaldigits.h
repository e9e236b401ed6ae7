#pragma once

#include <QString>

// A non-negative amount as decimal digits with a fixed number of places.
struct DecimalDigits
{
    QString integer;  // without leading zeros; empty for a value below one
    QString fraction; // exactly the requested number of places

    bool isZero() const;
};

// `magnitude` (finite, not negative) rounded half away from zero to `places` decimals. The rounding
// works on the shortest decimal text that reads back as the same double, i.e. on the number as it
// was typed, so 1.005 gives 1.01 although its binary value lies just below.
DecimalDigits roundedDigits(double magnitude, int places);
