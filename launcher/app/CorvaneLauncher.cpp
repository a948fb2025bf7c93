// Entry point of Ravelin_Launcher: one launcher per desktop, the invisible
// marker window, the log, the window framework, the launch window and the
// message loop.
#include <windows.h>

#include <exception>

#include "launcher/app/ForceForeground.h"
#include "launcher/app/LaunchWindow.h"
#include "launcher/app/LauncherResources.h"
#include "launcher/app/MainWindow.h"
#include "launcher/app/SecureConnectionWarmUp.h"
#include "lib/MessageFilter.h"
#include "lib/UniqueHandle.h"
#include "lib/wfc/Framework.h"
#include "log/KilnLogWrapper.h"

namespace {

// Runs until WM_QUIT or a failing GetMessageA; returns the last message's wParam.
WPARAM RunMessageLoop() {
    MSG message{};
    for (;;) {
        BOOL result = ::GetMessageA(&message, nullptr, 0, 0);
        if (result == -1) {
            CKilnLogWrapper("CorvaneLauncher", 102).Write(kLogError, "::GetMessageG[ 0x%08X",
                                                           static_cast<unsigned>(::GetLastError()));
            break;
        }
        if (result == 0) break;
        if (!::TranslateAcceleratorA(message.hwnd, nullptr, &message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
    }
    return message.wParam;
}

// Writes the log's end banner however the run ends once the log has started.
class LogSession {
public:
    LogSession() { CKilnLogWrapper("CorvaneLauncher", 60).Start(nullptr, 4096, -1); }
    LogSession(const LogSession&) = delete;
    LogSession& operator=(const LogSession&) = delete;
    ~LogSession() { KILNLOG.End(); }
};

// The windows' part of the run, with the log open; returns the exit code.
int RunWindows(HINSTANCE instance, int showCommand, lib::KernelHandle& instanceMutex) {
    if (!CreateMainWindow(instance, showCommand)) return 0;

    lib::AllowMessageThroughFilter(WM_DEVICECHANGE);

    lib::wfc::Initialize(instance, kMainWindowName,
                         ::LoadIconA(instance, MAKEINTRESOURCEA(IDI_RAVELIN_LAUNCHER)),
                         ::LoadIconA(instance, MAKEINTRESOURCEA(IDI_RAVELIN_LAUNCHER_SMALL)));
    lib::wfc::AttachThread();

    // Lives until the end of the run: its windows may still be about while the framework stops.
    ui::CLaunchWindow launchWindow;
    WPARAM exitCode = 0;
    if (launchWindow.Create()) {
        ForceForeground(launchWindow.GetHandle());
        exitCode = RunMessageLoop();
    }

    lib::wfc::DetachThread();
    lib::wfc::Terminate();
    instanceMutex.reset();
    return static_cast<int>(exitCode);
}

int RunLauncher(HINSTANCE instance, int showCommand) {
    lib::KernelHandle instanceMutex(::CreateMutexA(nullptr, FALSE, "MN_Ravelin_Launcher"));
    if (::GetLastError() == ERROR_ALREADY_EXISTS) return -1;

    const launcher::CSecureConnectionWarmUp warmUp;
    RegisterMainWindowClasses(instance);
    const LogSession log;
    try {
        return RunWindows(instance, showCommand, instanceMutex);
    } catch (const std::exception& error) {
        KILNLOG.Write(kLogError, "%s", error.what());
        return 0;
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    try {
        return RunLauncher(instance, showCommand);
    } catch (const std::exception&) {
        // Before the log: a class or the mutex could not be made; nothing to tell.
        return 0;
    }
}
