#include "tests/updater/LauncherStandIn.h"

#include <algorithm>

#include "tests/support/TestWindow.h"

namespace updatertest {
namespace {

constexpr char kClassName[] = "RavelinLauncherStandIn";
constexpr DWORD kThreadBound = 10000;

}  // namespace

LauncherStandIn::LauncherStandIn()
    : announcement_(::RegisterWindowMessageA("Launcher_VERUPSTART")),
      notifyMessage_(::RegisterWindowMessageA("InstallNotifyProgress")),
      ready_(::CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    if (ready_ && Start()) ::WaitForSingleObject(ready_.get(), kThreadBound);
}

LauncherStandIn::~LauncherStandIn() {
    if (window_) ::PostMessageA(window_, WM_CLOSE, 0, 0);
    Join(kThreadBound);
}

unsigned LauncherStandIn::Run() {
    window_ = test::CreateTestWindow(kClassName, &WindowProc, "Ravelin_Launcher", WS_OVERLAPPEDWINDOW, nullptr, this);
    ::SetEvent(ready_.get());
    if (!window_) return 1;
    MSG message{};
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    return 0;
}

LRESULT CALLBACK LauncherStandIn::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    if (message == WM_DESTROY) ::PostQuitMessage(0);
    if (auto* self = reinterpret_cast<LauncherStandIn*>(::GetWindowLongPtrA(window, GWLP_USERDATA))) {
        if (message == self->announcement_ || message == self->notifyMessage_) {
            self->Record(message, wParam, lParam);
            return 0;
        }
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

void LauncherStandIn::Record(UINT message, WPARAM wParam, LPARAM lParam) {
    {
        std::lock_guard<std::mutex> hold(lock_);
        if (message == announcement_) {
            ++announcements_;
        } else {
            notifications_.push_back({wParam, lParam});
        }
    }
    changed_.notify_all();
}

int LauncherStandIn::announcements() const {
    std::lock_guard<std::mutex> hold(lock_);
    return announcements_;
}

std::vector<Notification> LauncherStandIn::notifications() const {
    std::lock_guard<std::mutex> hold(lock_);
    return notifications_;
}

bool LauncherStandIn::WaitForAnnouncements(int count, DWORD milliseconds) const {
    return WaitFor(milliseconds, [&] { return announcements_ >= count; });
}

bool LauncherStandIn::WaitForNotifications(WPARAM code, size_t count, DWORD milliseconds) const {
    return WaitFor(milliseconds, [&] {
        return static_cast<size_t>(std::count_if(notifications_.begin(), notifications_.end(),
                                                 [&](const Notification& n) { return n.code == code; })) >= count;
    });
}

LRESULT LauncherStandIn::Send(HWND updater, ULONG_PTR kind, const void* data, DWORD size) const {
    COPYDATASTRUCT request{};
    request.dwData = kind;
    request.cbData = size;
    request.lpData = const_cast<void*>(data);
    DWORD_PTR answer = 0;
    if (!::SendMessageTimeoutA(updater, WM_COPYDATA, reinterpret_cast<WPARAM>(window_),
                               reinterpret_cast<LPARAM>(&request), SMTO_BLOCK, 10000, &answer)) {
        return -1;
    }
    return static_cast<LRESULT>(answer);
}

}  // namespace updatertest
