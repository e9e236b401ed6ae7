#include "money/decimaldigits.h"

#include <QLocale>
#include <algorithm>

bool DecimalDigits::isZero() const
{
    return integer.isEmpty() && std::all_of(fraction.begin(), fraction.end(), [](QChar c) { return c == u'0'; });
}

namespace {

// Adds one unit in the last place of a run of decimal digits; true when it carried out of the run.
bool incrementDigits(QString& digits)
{
    for (qsizetype i = digits.size() - 1; i >= 0; --i) {
        if (digits[i] != u'9') {
            digits[i] = QChar(digits[i].unicode() + 1);
            return false;
        }
        digits[i] = u'0';
    }
    return true;
}

} // namespace

DecimalDigits roundedDigits(double magnitude, int places)
{
    // "d.ddde+x": the shortest significant digits and the power of ten of the first one.
    const QString scientific = QString::number(magnitude, 'e', QLocale::FloatingPointShortest);
    const qsizetype exponentAt = scientific.indexOf(u'e');
    QString digits = scientific.left(exponentAt);
    digits.remove(u'.');
    qsizetype integerWidth = scientific.mid(exponentAt + 1).toInt() + 1;

    // Pad so that every integer place, every kept decimal and the deciding digit exist.
    if (integerWidth < 1) {
        digits.prepend(QString(1 - integerWidth, u'0'));
        integerWidth = 1;
    }
    const qsizetype kept = integerWidth + places;
    if (digits.size() <= kept)
        digits.append(QString(kept + 1 - digits.size(), u'0'));

    const bool roundUp = digits[kept] >= u'5';
    digits.truncate(kept);
    if (roundUp && incrementDigits(digits)) {
        digits.prepend(u'1');
        ++integerWidth;
    }

    qsizetype leadingZeros = 0;
    while (leadingZeros < integerWidth && digits[leadingZeros] == u'0')
        ++leadingZeros;
    return {digits.mid(leadingZeros, integerWidth - leadingZeros), digits.mid(integerWidth)};
}
