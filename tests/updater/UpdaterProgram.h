#pragma once
// RavelinUpdate.exe (built beside the test program) as the tests run it, and
// its log.
#include <windows.h>

#include <string>

#include "tests/support/ChildProcess.h"

namespace updatertest {

// Generous bound for anything the updater does on a loaded machine.
constexpr DWORD kBound = 20000;

// Command line that runs the updater with `arguments` as its whole parameter text.
std::string UpdaterCommand(const std::string& arguments);

// The updater's request window once its message loop runs, null after the bound.
HWND WaitForRequestWindow(const test::ChildProcess& updater);

// What the updater's log gains from construction on.
class LogWatch {
public:
    LogWatch();
    std::string Added() const;

private:
    std::string::size_type start_;
};

// How many times `part` appears in `text`.
size_t Count(const std::string& text, const std::string& part);

}  // namespace updatertest
