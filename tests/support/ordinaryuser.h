#pragma once

#include <QString>
#include <QStringList>

// Makes the test act as an ordinary user for its scope, so that file rights hold: the suite often
// runs as root, for whom nothing is read-only. `owned` are handed to that user (and back after);
// every folder above them is opened for passing through. Without root the scope changes nothing.
class ScopedOrdinaryUser
{
public:
    explicit ScopedOrdinaryUser(const QStringList& owned);
    ~ScopedOrdinaryUser();
    ScopedOrdinaryUser(const ScopedOrdinaryUser&) = delete;
    ScopedOrdinaryUser& operator=(const ScopedOrdinaryUser&) = delete;

private:
    bool switched_ = false;
    QStringList owned_;
};
