#pragma once

#include <QByteArray>
#include <optional>

// Sets an environment variable for the life of the object, then puts back what was there before:
// the old value, or no variable at all when there was none. A test that moves PATH or TMPDIR
// must not leave the next test looking in its folders.
class ScopedEnv
{
public:
    ScopedEnv(const char* name, const QByteArray& value);
    ~ScopedEnv();

    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    QByteArray name_;
    std::optional<QByteArray> saved_;
};
