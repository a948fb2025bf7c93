#include "updater/RemoveAllMode.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstddef>
#include <iterator>

#include "lib/UniqueHandle.h"
#include "updater/MsiFunctions.h"

namespace updater {
namespace {

const char* const kProgramTitles[] = {
    "Ravelin_Launcher", "Corvane3 Lumora MSV Title Editor", "Ravelin", "CORVANELITECORE", "VantorManager",
};

// The last one's uninstaller is started but not waited for.
const char* const kProductCodes[] = {
    "{B8AA5F36-319F-4B64-A563-9E0E6F1A75AA}",
    "{09B7D9D7-B8CE-4DD9-86B0-AEF4C170B175}",
    "{3F843639-24A8-4888-8182-D04CE56B568A}",
    "{B60B0CBC-66A8-4B56-BF69-D9478A459DDA}",
};

constexpr int kMaxCloseRequests = 10;
constexpr DWORD kCloseWait = 500;
constexpr DWORD kTerminateAccess = 0x1F0FFF;
constexpr UINT kTerminatedExitCode = 0xFFFFFFFF;
constexpr DWORD kUninstallWait = 60000;

void TerminateOwner(DWORD processId) {
    lib::KernelHandle process(::OpenProcess(kTerminateAccess, FALSE, processId));
    if (process) ::TerminateProcess(process.get(), kTerminatedExitCode);
}

// Asks every window titled `title` to close, one after the other, giving its
// process half a second per request; the eleventh request ends the process.
void CloseProgramsTitled(const char* title) {
    int requests = 0;
    while (HWND window = ::FindWindowA(nullptr, title)) {
        ::PostMessageA(window, WM_CLOSE, 0, 0);
        DWORD processId = 0;
        ::GetWindowThreadProcessId(window, &processId);
        if (++requests > kMaxCloseRequests) {
            TerminateOwner(processId);
            return;
        }
        lib::KernelHandle process(::OpenProcess(SYNCHRONIZE, FALSE, processId));
        if (!process || ::WaitForSingleObject(process.get(), kCloseWait) == WAIT_OBJECT_0) return;
    }
}

bool IsPresent(INSTALLSTATE state) {
    return state == INSTALLSTATE_ABSENT || state == INSTALLSTATE_LOCAL || state == INSTALLSTATE_DEFAULT;
}

void Uninstall(const char* productCode, bool wait) {
    char parameters[128];
    std::snprintf(parameters, sizeof parameters, "/uninstall %s /passive", productCode);
    SHELLEXECUTEINFOA execute{};
    execute.cbSize = sizeof execute;
    execute.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_DDEWAIT;
    execute.hwnd = ::GetDesktopWindow();
    execute.lpVerb = "open";
    execute.lpFile = "msiexec.exe";
    execute.lpParameters = parameters;
    execute.nShow = SW_SHOW;
    if (!::ShellExecuteExA(&execute)) return;
    lib::KernelHandle process(execute.hProcess);
    if (process && wait) ::WaitForSingleObject(process.get(), kUninstallWait);
}

}  // namespace

int RunRemoveAll() {
    for (const char* title : kProgramTitles) CloseProgramsTitled(title);
    const MsiInstaller::MsiFunctions msi = MsiInstaller::GetMsiFunctions();
    const std::size_t count = std::size(kProductCodes);
    for (std::size_t i = 0; i < count; ++i) {
        if (IsPresent(msi.QueryProductStateA(kProductCodes[i]))) Uninstall(kProductCodes[i], i + 1 < count);
    }
    return 0;
}

}  // namespace updater
