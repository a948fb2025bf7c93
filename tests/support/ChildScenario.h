#pragma once
// Child scenarios: code that must run in a process of its own (fresh
// process-wide state, a second writer, a program under test). A test starts
// one with ChildProcess(ChildScenarioCommand(name, argument)); the test
// program's main then runs only that scenario and exits with its result.
#include <string>

namespace test {

using ChildScenarioFunction = int (*)(const std::string& argument);

struct ChildScenarioRegistration {
    ChildScenarioRegistration(const char* name, ChildScenarioFunction function);
};

// Runs the scenario named on the command line; false when none was asked for.
bool RunChildScenario(int argc, char** argv, int* exitCode);

}  // namespace test

#define RAVELIN_CHILD_SCENARIO(name)                                                    \
    static int ChildScenario_##name(const std::string& argument);                       \
    static const ::test::ChildScenarioRegistration childScenarioRegistration_##name(    \
        #name, &ChildScenario_##name);                                                  \
    static int ChildScenario_##name([[maybe_unused]] const std::string& argument)
