#pragma once

#include <QStringView>

// Blanks around typed or regional numbers: spaces, tabs, and the no-break spaces (U+00A0, U+202F)
// that regional formats put between a number and its symbol.
bool isBlank(QChar c);
QStringView trimBlanks(QStringView text);
