#pragma once
// Starts another Windows program (or this test program in a child scenario)
// and waits for it with a bound. A child still running when the object goes
// away is terminated, so no test leaves a process behind.
#include <windows.h>

#include <string>

#include "lib/UniqueHandle.h"

namespace test {

class ChildProcess {
public:
    // commandLine is passed to CreateProcessA as it stands.
    explicit ChildProcess(const std::string& commandLine);
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess();

    bool started() const { return process_.valid(); }
    DWORD id() const { return id_; }
    HANDLE handle() const { return process_.get(); }

    // True when the process ended within the bound; its exit code is then in *exitCode.
    bool Wait(DWORD milliseconds, DWORD* exitCode);
    bool Running() const;

private:
    lib::KernelHandle process_;
    DWORD id_ = 0;
};

// Full path of the running test program, and of a file beside it.
std::string OwnPath();
std::string BesideSelf(const std::string& fileName);

// Command line that runs the child scenario `name` with `argument`, in this
// test program or in `program` (a copy of it).
std::string ChildScenarioCommand(const std::string& name, const std::string& argument = {},
                                 const std::string& program = OwnPath());

// Runs `commandLine` to its end: its exit code, or -1 when it did not start or
// did not end within a minute.
long RunToEnd(const std::string& commandLine);

}  // namespace test
