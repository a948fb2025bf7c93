// Wine resets the foreground when thread input is detached again, so only
// the same-thread path can be observed here.
#include <gtest/gtest.h>
#include <windows.h>

#include "launcher/app/ForceForeground.h"

namespace {

const char kTestClass[] = "RavelinForceForegroundTest";

HWND CreateTestWindow(const char* title) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = ::DefWindowProcA;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kTestClass;
    ::RegisterClassExA(&windowClass);  // fails harmlessly once registered
    return ::CreateWindowExA(0, kTestClass, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200,
                             100, nullptr, nullptr, windowClass.hInstance, nullptr);
}

void PumpPending() {
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&message);
}

TEST(ForceForeground, BringsAWindowOfThisThreadForward) {
    HWND first = CreateTestWindow("first");
    HWND second = CreateTestWindow("second");
    ASSERT_TRUE(first && second);
    ::SetForegroundWindow(first);
    PumpPending();

    ForceForeground(second);
    PumpPending();
    EXPECT_EQ(second, ::GetForegroundWindow());

    ::DestroyWindow(first);
    ::DestroyWindow(second);
}

}  // namespace
