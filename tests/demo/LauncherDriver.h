#pragma once
// Runs the real Ravelin_Launcher.exe and drives its windows from outside as a
// user would: it finds them by title and size, and clicks skin items where
// the shipped skin puts them, with the mouse messages a click makes.
#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/ChildProcess.h"

namespace road {

// Sizes of the launcher's windows in the shipped skin.
constexpr SIZE kLaunchWindowSize{400, 116};
constexpr SIZE kSilentInstallSize{480, 198};
// Message boxes are as wide as their skin's layout; their height follows the text.
constexpr LONG kMessageBoxWidth = 600;

// Visible top-level windows of process `processId`.
std::vector<HWND> VisibleWindowsOf(DWORD processId);

// Calls `found` every 20 ms until it returns a window or `milliseconds` pass.
template <typename Finder>
HWND WaitFor(Finder found, DWORD milliseconds) {
    const ULONGLONG end = ::GetTickCount64() + milliseconds;
    for (;;) {
        if (HWND window = found()) return window;
        if (::GetTickCount64() >= end) return nullptr;
        ::Sleep(20);
    }
}
bool WaitUntilGone(HWND window, DWORD milliseconds);

class RunningLauncher {
public:
    // Starts `program` (the launcher in the suite folder) with its folder as
    // the working folder.
    explicit RunningLauncher(const std::string& program);

    bool started() const { return process_.started(); }
    DWORD id() const { return process_.id(); }
    bool Wait(DWORD milliseconds, DWORD* exitCode) { return process_.Wait(milliseconds, exitCode); }
    bool Running() const { return process_.Running(); }

    // A skinned message box (the box takes its owner's title), the silent-install window and the
    // launch window of this launcher, once visible; null after the bound.
    HWND WaitForMessageBox(DWORD milliseconds) const;
    HWND WaitForSilentInstallWindow(DWORD milliseconds) const;
    HWND WaitForLaunchWindow(DWORD milliseconds) const;
    // The same without waiting.
    HWND MessageBoxWindow() const;
    HWND SilentInstallWindow() const;
    HWND LaunchWindow() const;

private:
    // A visible window of this launcher `width` wide (and `height` high unless 0).
    HWND VisibleOfSize(LONG width, LONG height) const;

    test::ChildProcess process_;
};

// Centre of skin item `item` of the window described by `skinFile` in the
// shipped skin, in client coordinates.
POINT SkinItemCentre(const char* skinFile, const char* item);

// Centre of button `index` (left to right) of a skinned message box shown
// with `buttons` (their skin item names, left to right) of `skinFile`
// ("MessageBoxWindow.txt" or "MessageBoxWindowForURL.txt").
POINT MessageBoxButtonCentre(HWND box, const char* skinFile, const std::vector<const char*>& buttons,
                             std::size_t index);

// Pointer onto `at` (client coordinates of `window`), press and release there.
void Click(HWND window, POINT at);

// The important notice at start-up is an OK/Cancel URL box; Cancel dismisses
// it without opening the online help.
bool DismissNotice(const RunningLauncher& launcher, DWORD milliseconds);
// Presses OK of a one-button box.
void PressOk(HWND box);

}  // namespace road
