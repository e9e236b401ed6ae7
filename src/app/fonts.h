#pragma once

#include <QFont>

// The windows are laid out in Arial. Where it is missing, its metric twins keep every caption inside its
// control; the bare sans-serif fallback is wider and clips them.
QFont designFont(qreal pointSize, bool bold);
