#include <gtest/gtest.h>

#include "loaded_volanko.h"

namespace {

using Registration = LoadedVolanko;

TEST_F(Registration, RegistersFiveVariablesTwoCommandsOneHookOneDrawable)
{
    ASSERT_EQ(host.console.cvars.size(), 5u);
    EXPECT_EQ(host.console.notifiers.size(), 2u);
    EXPECT_EQ(host.hooks.size(), 1u);
    EXPECT_EQ(host.drawables.size(), 1u);
    EXPECT_EQ(host.faults.keptWrappers, 0u);
}

} // namespace
