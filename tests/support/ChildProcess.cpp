#include "tests/support/ChildProcess.h"

#include <vector>

namespace test {

ChildProcess::ChildProcess(const std::string& commandLine) {
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (::CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                         &startup, &info)) {
        ::CloseHandle(info.hThread);
        process_.reset(info.hProcess);
        id_ = info.dwProcessId;
    }
}

ChildProcess::~ChildProcess() {
    if (Running()) {
        ::TerminateProcess(process_.get(), 1);
        ::WaitForSingleObject(process_.get(), 5000);
    }
}

bool ChildProcess::Wait(DWORD milliseconds, DWORD* exitCode) {
    if (!process_ || ::WaitForSingleObject(process_.get(), milliseconds) != WAIT_OBJECT_0) return false;
    DWORD code = 0;
    ::GetExitCodeProcess(process_.get(), &code);
    if (exitCode) *exitCode = code;
    return true;
}

bool ChildProcess::Running() const {
    return process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

std::string OwnPath() {
    char path[MAX_PATH * 2] = {};
    ::GetModuleFileNameA(nullptr, path, sizeof path);
    return path;
}

std::string BesideSelf(const std::string& fileName) {
    std::string path = OwnPath();
    return path.substr(0, path.find_last_of('\\') + 1) + fileName;
}

std::string ChildScenarioCommand(const std::string& name, const std::string& argument, const std::string& program) {
    std::string command = "\"" + program + "\" --child " + name;
    if (!argument.empty()) command += " \"" + argument + "\"";
    return command;
}

long RunToEnd(const std::string& commandLine) {
    ChildProcess child(commandLine);
    DWORD code = 0;
    return child.Wait(60000, &code) ? static_cast<long>(code) : -1;
}

}  // namespace test
