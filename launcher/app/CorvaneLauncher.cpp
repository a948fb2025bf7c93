// Entry point of Ravelin_Launcher: one launcher per desktop, the invisible
// marker window, the log, the window framework and the message loop.
#include <windows.h>

#include <exception>

#include "launcher/app/LauncherResources.h"
#include "launcher/app/MainWindow.h"
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

int RunLauncher(HINSTANCE instance, int showCommand) {
    lib::KernelHandle instanceMutex(::CreateMutexA(nullptr, FALSE, "MN_Ravelin_Launcher"));
    if (::GetLastError() == ERROR_ALREADY_EXISTS) return -1;

    RegisterMainWindowClasses(instance);
    CKilnLogWrapper("CorvaneLauncher", 60).Start(nullptr, 4096, -1);
    if (!CreateMainWindow(instance, showCommand)) return 0;

    lib::AllowMessageThroughFilter(WM_DEVICECHANGE);

    lib::wfc::Initialize(instance, kMainWindowName,
                         ::LoadIconA(instance, MAKEINTRESOURCEA(IDI_RAVELIN_LAUNCHER)),
                         ::LoadIconA(instance, MAKEINTRESOURCEA(IDI_RAVELIN_LAUNCHER_SMALL)));
    lib::wfc::AttachThread();

    WPARAM exitCode = RunMessageLoop();

    lib::wfc::DetachThread();
    lib::wfc::Terminate();
    instanceMutex.reset();
    return static_cast<int>(exitCode);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    try {
        return RunLauncher(instance, showCommand);
    } catch (const std::exception& error) {
        KILNLOG.Write(kLogError, "%s", error.what());
        return 0;
    }
}
