#pragma once

#include <QString>
#include <stdexcept>

// A failure of the ledger store; its text is the engine's own message where there is one.
class StoreError : public std::runtime_error
{
public:
    explicit StoreError(const QString& message) : std::runtime_error(message.toStdString()) {}
};
