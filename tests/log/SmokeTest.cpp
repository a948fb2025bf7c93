#include <gtest/gtest.h>
#include <windows.h>
#include "tests/support/ChildProcess.h"
#include "tests/support/ChildScenario.h"
RAVELIN_CHILD_SCENARIO(exit_with) { return std::stoi(argument); }
TEST(Smoke, Acp) { EXPECT_EQ(932u, GetACP()); EXPECT_TRUE(IsDBCSLeadByte("日本"[0])); }
TEST(Smoke, Child) { test::ChildProcess c(test::ChildScenarioCommand("exit_with", "1602")); DWORD code=0; ASSERT_TRUE(c.Wait(10000,&code)); EXPECT_EQ(1602u, code); }
