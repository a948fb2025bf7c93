#include "tests/updater/UpdaterProgram.h"

#include "log/LogFolders.h"
#include "tests/support/ScratchFolder.h"

namespace updatertest {
namespace {

std::string LogPath() { return GetLogFolder() + "RavelinUpdate_sys.log"; }

HWND FindRequestWindowOf(DWORD processId) {
    HWND window = nullptr;
    while ((window = ::FindWindowExA(nullptr, window, "VEDAZAVUZUVEZ", "VedaZavuzuvez"))) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        if (owner == processId) return window;
    }
    return nullptr;
}

}  // namespace

std::string UpdaterCommand(const std::string& arguments) {
    return "\"" + test::BesideSelf("RavelinUpdate.exe") + "\" " + arguments;
}

std::string SignedUpdaterCommand(const std::string& arguments) {
    return "\"" + test::BesideSelf("signed\\RavelinUpdate.exe") + "\" " + arguments;
}

HWND WaitForRequestWindow(const test::ChildProcess& updater) {
    // Idle means the message loop runs, so the window exists; the polling
    // only covers a system that reports idle early.
    ::WaitForInputIdle(updater.handle(), kBound);
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (HWND window = FindRequestWindowOf(updater.id())) return window;
        if (!updater.Running() || ::GetTickCount() - start > kBound) return nullptr;
        ::Sleep(20);
    }
}

SetupProbe::SetupProbe(const std::string& program)
    : ran_(::CreateEventA(nullptr, TRUE, FALSE, "RavelinSetupProbeRan")) {
    ::CopyFileA(program.c_str(), path().c_str(), FALSE);
}

bool SetupProbe::WaitUntilRun(DWORD milliseconds) const {
    return ::WaitForSingleObject(ran_.get(), milliseconds) == WAIT_OBJECT_0;
}

LogWatch::LogWatch() : start_(test::ReadWholeFile(LogPath()).size()) {}

std::string LogWatch::Added() const {
    const std::string whole = test::ReadWholeFile(LogPath());
    return whole.size() > start_ ? whole.substr(start_) : std::string();
}

}  // namespace updatertest
