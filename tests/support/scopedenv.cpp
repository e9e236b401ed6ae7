#include "support/scopedenv.h"

#include <QtGlobal>

ScopedEnv::ScopedEnv(const char* name, const QByteArray& value) : name_(name)
{
    // Kept apart from an empty value: programs read a missing variable differently from an empty one.
    if (qEnvironmentVariableIsSet(name))
        saved_ = qgetenv(name);
    qputenv(name, value);
}

ScopedEnv::~ScopedEnv()
{
    if (saved_)
        qputenv(name_.constData(), *saved_);
    else
        qunsetenv(name_.constData());
}
