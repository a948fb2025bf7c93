#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>

#include "tests/support/ChildScenario.h"

namespace test {
namespace {

std::map<std::string, ChildScenarioFunction>& Scenarios() {
    static std::map<std::string, ChildScenarioFunction> scenarios;
    return scenarios;
}

}  // namespace

ChildScenarioRegistration::ChildScenarioRegistration(const char* name, ChildScenarioFunction function) {
    Scenarios()[name] = function;
}

bool RunChildScenario(int argc, char** argv, int* exitCode) {
    if (argc < 3 || std::strcmp(argv[1], "--child") != 0) return false;
    auto found = Scenarios().find(argv[2]);
    *exitCode = found == Scenarios().end() ? 125 : found->second(argc > 3 ? argv[3] : "");
    return true;
}

}  // namespace test

int main(int argc, char** argv) {
    int exitCode = 0;
    if (test::RunChildScenario(argc, argv, &exitCode)) return exitCode;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
