#pragma once
// Shared pieces of the launcher window tests: the framework on this thread,
// skin errors recorded instead of shown, an owner window that keeps the
// messages its popups post to it, and clicks as the mouse makes them.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <tuple>
#include <vector>

#include "tests/support/TestWindow.h"
#include "tests/ui/SkinWindowTestSupport.h"
#include "ui/SkinError.h"

namespace apptest {

inline std::vector<MSG>& OwnerMessages() {
    static std::vector<MSG> messages;
    return messages;
}

inline LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if ((message >= WM_APP && message < 0xC000) || message == WM_ENDSESSION) {
        OwnerMessages().push_back(MSG{window, message, wParam, lParam, 0, {}});
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

inline void RecordSkinError(const std::string& text) { ADD_FAILURE() << "skin error: " << text; }

class AppWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        skintest::EnsureFramework();
        savedReporter_ = ui::SetSkinErrorReporter(&RecordSkinError);
        OwnerMessages().clear();
        owner_ = test::CreateTestWindow("RavelinAppWindowTestOwner", OwnerProc, "owner", WS_POPUP | WS_VISIBLE);
        ::MoveWindow(owner_, 100, 50, 400, 116, TRUE);
    }
    void TearDown() override {
        ::DestroyWindow(owner_);
        ui::SetSkinErrorReporter(savedReporter_);
    }

    HWND owner_ = nullptr;

private:
    ui::SkinErrorReporter savedReporter_ = nullptr;
};

inline std::tuple<LONG, LONG, LONG, LONG> Edges(const RECT& rect) {
    return std::make_tuple(rect.left, rect.top, rect.right, rect.bottom);
}

// Sends a message inside which the window waits for its own end; should it
// still be there after five seconds, it is destroyed so that the wait ends.
inline void SendBounded(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    static HWND target;
    struct Watchdog {
        static void CALLBACK Fire(HWND, UINT, UINT_PTR timer, DWORD) {
            ::KillTimer(nullptr, timer);
            if (target) ::DestroyWindow(target);
        }
    };
    target = window;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 5000, &Watchdog::Fire);
    ::SendMessageA(window, message, wParam, lParam);
    ::KillTimer(nullptr, timer);
    target = nullptr;
}

// Move, press and release at a client point of `window`; the release may be elsewhere.
inline void Press(HWND window, POINT at) {
    const LPARAM point = skintest::PointParam(at.x, at.y);
    ::PostMessageA(window, WM_MOUSEMOVE, 0, point);
    ::PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, point);
    skintest::PumpPending();
}
inline void Release(HWND window, POINT at) {
    ::PostMessageA(window, WM_LBUTTONUP, 0, skintest::PointParam(at.x, at.y));
    skintest::PumpPending();
}
inline void Click(HWND window, POINT at) {
    Press(window, at);
    Release(window, at);
}

}  // namespace apptest
