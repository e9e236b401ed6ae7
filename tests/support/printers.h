#pragma once

#include <QString>
#include <ostream>

// Readable texts in failure messages instead of raw bytes.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
