#pragma once

#include <QString>
#include <stdexcept>

// A failure raised by our own lower layers; its text is what the error report shows.
class Failure : public std::runtime_error
{
public:
    explicit Failure(const QString& description) : std::runtime_error(description.toStdString()) {}
    QString description() const { return QString::fromUtf8(what()); }
};

// For Qt calls that report success as a bool: throws `what` when `ok` is false.
inline void ensure(bool ok, const QString& what)
{
    if (!ok)
        throw Failure(what);
}
