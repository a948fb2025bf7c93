#pragma once
// Stands in for the launcher's silent-install window: a window titled
// "Ravelin_Launcher" on a thread of its own that counts the updater's
// "Launcher_VERUPSTART" announcements, records every "InstallNotifyProgress"
// notification and sends requests to the updater the way the launcher does.
#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "lib/UniqueHandle.h"
#include "lib/wfc/Thread.h"
#include "tests/updater/MsiEngineTestSupport.h"

namespace updatertest {

using msitest::Notification;

class LauncherStandIn : private lib::wfc::CThread {
public:
    // The window exists when the constructor returns (window() is null when it could not be made).
    LauncherStandIn();
    ~LauncherStandIn() override;

    HWND window() const { return window_; }
    // The number the launcher registers for "InstallNotifyProgress".
    UINT notifyMessage() const { return notifyMessage_; }

    int announcements() const;
    std::vector<Notification> notifications() const;

    // True once `count` announcements, resp. `count` notifications with
    // `code`, have arrived within `milliseconds`.
    bool WaitForAnnouncements(int count, DWORD milliseconds) const;
    bool WaitForNotifications(WPARAM code, size_t count, DWORD milliseconds) const;

    // WM_COPYDATA to `updater` with SendMessageTimeoutA(SMTO_BLOCK, 10 s), as
    // the launcher sends it: the window procedure's answer, or -1 when the
    // send failed or timed out.
    LRESULT Send(HWND updater, ULONG_PTR kind, const void* data, DWORD size) const;

private:
    unsigned Run() override;
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Record(UINT message, WPARAM wParam, LPARAM lParam);

    template <typename Predicate>
    bool WaitFor(DWORD milliseconds, Predicate done) const {
        std::unique_lock<std::mutex> hold(lock_);
        return changed_.wait_for(hold, std::chrono::milliseconds(milliseconds), done);
    }

    const UINT announcement_;
    const UINT notifyMessage_;
    lib::KernelHandle ready_;
    HWND window_ = nullptr;
    mutable std::mutex lock_;
    mutable std::condition_variable changed_;
    int announcements_ = 0;
    std::vector<Notification> notifications_;
};

}  // namespace updatertest
