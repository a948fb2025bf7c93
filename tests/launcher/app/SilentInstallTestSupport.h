#pragma once
// Stand-ins around the silent-install window, on the test thread: the
// updater's window that records the WM_COPYDATA requests, the launch window
// that records what it is told, and skinned boxes that a timer answers.
#include <windows.h>

#include <string>
#include <vector>

#include "updater/InstallRequestRecord.h"

namespace silenttest {

struct ReceivedRequest {
    ULONG_PTR kind;
    DWORD size;
    InstallRequestRecord record;
    long long fileSize;  // of PathPackage as the request arrived; -1: no such file
};

// "VedaZavuzuvez" of class "VEDAZAVUZUVEZ", as RavelinUpdate makes it.
class UpdaterStandIn {
public:
    ~UpdaterStandIn();
    // Makes the window and posts "Launcher_VERUPSTART" to `launcher`
    // `announcements` times, as starting updaters do.
    void Launch(HWND launcher, int announcements);
    // The two halves: a starting updater announces itself before its window exists.
    void Announce(HWND launcher, int announcements);
    void OpenWindow();

    // Each install request of a Windows Installer package is followed by its
    // start, position and end notifications.
    bool finishInstalls = true;
    std::vector<ReceivedRequest> requests;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Receive(const COPYDATASTRUCT& data);

    HWND window_ = nullptr;
};

// The launch window, message-only; its log reads "finish", "close 4",
// "close 8", "error 04200005" in order of arrival.
class OwnerStandIn {
public:
    OwnerStandIn();
    ~OwnerStandIn();
    HWND window() const { return window_; }
    std::vector<std::string> log;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_;
};

// Runs a skinned message box over `owner` and presses item `button` once the
// box is on screen (its close button after ten seconds, should that miss).
int AnswerBox(HWND owner, const std::string& text, UINT type, int button);

}  // namespace silenttest
