#pragma once
// RavelinUpdate.exe (built beside the test program) as the tests run it, and
// its log.
#include <windows.h>

#include <string>

#include "lib/UniqueHandle.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/ScratchFolder.h"
#include "tests/updater/MsiEngineTestSupport.h"

namespace updatertest {

// Generous bound for anything the updater does on a loaded machine.
constexpr DWORD kBound = 20000;

// Command line that runs the updater with `arguments` as its whole parameter text.
std::string UpdaterCommand(const std::string& arguments);
// The same for the copy the build signed with the test signer (bin\signed).
std::string SignedUpdaterCommand(const std::string& arguments);

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

using msitest::Count;

// A copy of a setup program stand-in (updater_setup_probe.exe beside the test
// program, unless another is named) in a folder of its own, and what it did.
class SetupProbe {
public:
    explicit SetupProbe(const std::string& program = test::BesideSelf("updater_setup_probe.exe"));
    // With a blank in it, as a path under "Program Files" would have.
    std::string path() const { return folder_.path() + "setup probe.exe"; }
    std::string commandLines() const { return test::ReadWholeFile(folder_.path() + "commandline.txt"); }
    bool WaitUntilRun(DWORD milliseconds = kBound) const;

private:
    test::ScratchFolder folder_;
    lib::KernelHandle ran_;
};

}  // namespace updatertest
