#include "tests/lib/wfc/WfcTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

#include "lib/wfc/Framework.h"

namespace test {
namespace {

bool guardFired = false;

void CALLBACK GuardExpired(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    guardFired = true;
    ::PostQuitMessage(99);
}

class FrameworkEnvironment : public ::testing::Environment {
public:
    void SetUp() override { session_ = std::make_unique<FrameworkSession>(); }
    void TearDown() override { session_.reset(); }

private:
    std::unique_ptr<FrameworkSession> session_;
};

[[maybe_unused]] const auto* const environment = ::testing::AddGlobalTestEnvironment(new FrameworkEnvironment);

}  // namespace

FrameworkSession::FrameworkSession() {
    lib::wfc::Initialize(::GetModuleHandleA(nullptr), "wfc_tests", nullptr, nullptr);
    lib::wfc::AttachThread();
}

FrameworkSession::~FrameworkSession() {
    lib::wfc::DetachThread();
    lib::wfc::Terminate();
}

TestWindow::~TestWindow() {
    if (::IsWindow(GetHandle())) ::DestroyWindow(GetHandle());
}

void TestWindow::CreatePopup(bool visible, HWND owner) {
    Create(0, nullptr, "wfc test", WS_POPUP, 100, 100, 200, 100, owner, nullptr);
    // Not activated: on a bare X server Wine waits two seconds for a window
    // manager whenever an active window goes away.
    if (visible) ShowWindow(SW_SHOWNOACTIVATE);
}

bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds) {
    const DWORD start = ::GetTickCount();
    while (!done()) {
        const DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= milliseconds) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_ALLINPUT);
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
    }
    return true;
}

ModalGuard::ModalGuard(UINT milliseconds) : timer_(::SetTimer(nullptr, 0, milliseconds, &GuardExpired)) {
    guardFired = false;
}

ModalGuard::~ModalGuard() {
    ::KillTimer(nullptr, timer_);
    // Leaves no quit request of the guard behind for the next test.
    MSG message;
    ::PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

bool ModalGuard::fired() const { return guardFired; }

}  // namespace test
