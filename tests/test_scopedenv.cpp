// The test helper that moves an environment variable for a scope: every later test relies on
// getting the surroundings back as they were.
#include "support/scopedenv.h"

#include <gtest/gtest.h>

namespace {

constexpr const char* name = "QUORVANE_SCOPED_ENV_PROBE";

TEST(ScopedEnv, PutsBackThePreviousValue)
{
    qputenv(name, "before");
    {
        const ScopedEnv moved(name, "during");
        EXPECT_EQ(qgetenv(name), "during");
    }
    EXPECT_EQ(qgetenv(name), "before");
    qunsetenv(name);
}

TEST(ScopedEnv, RemovesAVariableThatWasNotThereAndKeepsAnEmptyOne)
{
    qunsetenv(name);
    {
        const ScopedEnv moved(name, "during");
        EXPECT_TRUE(qEnvironmentVariableIsSet(name));
    }
    EXPECT_FALSE(qEnvironmentVariableIsSet(name));

    qputenv(name, "");
    {
        const ScopedEnv moved(name, "during");
    }
    EXPECT_TRUE(qEnvironmentVariableIsSet(name));
    EXPECT_TRUE(qEnvironmentVariableIsEmpty(name));
    qunsetenv(name);
}

TEST(ScopedEnv, NestedScopesUnwindInOrder)
{
    qputenv(name, "outside");
    {
        const ScopedEnv outer(name, "outer");
        {
            const ScopedEnv inner(name, "inner");
            EXPECT_EQ(qgetenv(name), "inner");
        }
        EXPECT_EQ(qgetenv(name), "outer");
    }
    EXPECT_EQ(qgetenv(name), "outside");
    qunsetenv(name);
}

} // namespace
