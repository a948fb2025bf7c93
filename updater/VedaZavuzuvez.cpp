// Entry point of RavelinUpdate: the launcher starts it with "Launcher" to
// serve its install requests, an uninstaller with "removeall" to take the
// suite off the machine.
#include <windows.h>

#include <cstring>
#include <exception>

#include "lib/MessageFilter.h"
#include "lib/UniqueHandle.h"
#include "log/KilnLogWrapper.h"
#include "log/PathLinks.h"
#include "updater/MsiInstallControl.h"
#include "updater/RemoveAllMode.h"
#include "updater/RequestWindow.h"
#include "updater/UpdaterResources.h"

namespace {

constexpr int kRefused = -1;

// The installer engine's worker runs for the life of the message loop; it is
// stopped and deleted however the loop is left. A worker still inside Windows
// Installer when the wait for it runs out is left to go on until the process ends.
class EngineSession {
public:
    EngineSession() { MsiInstaller::MsiInstallControl::GetInstance().Start(); }
    EngineSession(const EngineSession&) = delete;
    EngineSession& operator=(const EngineSession&) = delete;
    ~EngineSession() {
        MsiInstaller::MsiInstallControl::GetInstance().Stop();
        MsiInstaller::MsiInstallControl::DeleteInstance();
    }
};

struct LauncherSearch {
    UINT message;
    bool found;
};

// A named CALLBACK function: on i686 a lambda converts only to a cdecl pointer.
BOOL CALLBACK AnnounceIfLauncher(HWND window, LPARAM context) {
    auto& search = *reinterpret_cast<LauncherSearch*>(context);
    char title[32] = "";
    ::GetWindowTextA(window, title, sizeof(title));
    if (std::strcmp(title, "Ravelin_Launcher") == 0) {
        ::PostMessageA(window, search.message, 0, 0);
        search.found = true;
    }
    return TRUE;
}

// Announces the updater to every top-level window titled "Ravelin_Launcher":
// the launcher's marker window, its launch window and a message box it owns
// carry that title too, and whichever comes first in the z-order must not
// swallow the announcement meant for the silent-install window. The others
// ignore the message. False when there is no such window.
bool AnnounceToLauncher() {
    LauncherSearch search{::RegisterWindowMessageA("Launcher_VERUPSTART"), false};
    ::EnumWindows(&AnnounceIfLauncher, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

WPARAM RunMessageLoop(HACCEL accelerators) {
    MSG message{};
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (!::TranslateAcceleratorA(message.hwnd, accelerators, &message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
    }
    return message.message == WM_QUIT ? message.wParam : 0;
}

int ServeLauncher(HINSTANCE instance, int showCommand) {
    // Announced before the single-instance test: a second updater announces itself too.
    if (!AnnounceToLauncher()) {
        CKilnLogWrapper("VedaZavuzuvez.cpp", 255).Write(kLogError, "FindWindow LAUNCHER failed");
        return kRefused;
    }
    KILNLOG.Write(kLogInfo, "Start version up");

    lib::KernelHandle instanceMutex(::CreateMutexA(nullptr, FALSE, "MN_Ravelin_Install"));
    if (::GetLastError() == ERROR_ALREADY_EXISTS) return kRefused;

    KILNLOG.Start(nullptr, 4096, -1);
    if (!updater::CreateRequestWindow(instance, showCommand)) {
        const DWORD error = ::GetLastError();
        KILNLOG.Write(kLogError, "InitInstance APL Start failed[ERR:0x%08X]", static_cast<unsigned>(error));
        KILNLOG.End();
        return 0;
    }

    WPARAM exitCode = 0;
    {
        HACCEL accelerators = ::LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDC_RAVELIN_UPDATE));
        EngineSession engine;
        lib::AllowMessageThroughFilter(WM_COPYDATA);
        exitCode = RunMessageLoop(accelerators);
    }
    KILNLOG.End();
    instanceMutex.reset();
    return static_cast<int>(exitCode);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
    try {
        // Elevated, in folders the user may write to: no link leads a log file elsewhere.
        kilnlog::SetRefuseLinks(true);
        if (std::strcmp(commandLine, "removeall") == 0) return updater::RunRemoveAll();
        if (std::strcmp(commandLine, "Launcher") != 0) return kRefused;
        return ServeLauncher(instance, showCommand);
    } catch (const std::exception& error) {
        KILNLOG.Write(kLogError, "%s", error.what());
    } catch (...) {
        KILNLOG.Write(kLogError, "unknown exception");
    }
    return 0;
}
