#pragma once

#include <QString>
#include <stdexcept>

// A failure of the ledger store; its text is the engine's own message where there is one.
class StoreError : public std::runtime_error
{
public:
    explicit StoreError(const QString& message) : std::runtime_error(message.toStdString()) {}
};

// A recorded change that no longer fits the ledger: a row was changed or removed elsewhere since,
// or its id was taken.
class StaleChange : public std::runtime_error
{
public:
    StaleChange()
        : std::runtime_error("The entry was changed or removed elsewhere since, so this step can no longer be applied.")
    {
    }
};
