#include <gtest/gtest.h>
#include <windows.h>

#include <thread>

#include "launcher/app/ForceForeground.h"
#include "lib/UniqueHandle.h"

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

TEST(ForceForeground, TakesTheForegroundFromAnotherThread) {
    HWND target = CreateTestWindow("target");
    ASSERT_NE(nullptr, target);

    lib::KernelHandle ownerReady(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    DWORD ownerThreadId = 0;
    std::thread owner([&] {
        ownerThreadId = ::GetCurrentThreadId();
        HWND window = CreateTestWindow("owner");
        ::SetForegroundWindow(window);
        ::SetEvent(ownerReady.get());
        MSG message;
        // Runs until the test posts WM_QUIT; the test bounds that wait.
        while (::GetMessageA(&message, nullptr, 0, 0) > 0) ::DispatchMessageA(&message);
        ::DestroyWindow(window);
    });
    ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(ownerReady.get(), 10000));

    ForceForeground(target);
    PumpPending();
    EXPECT_EQ(target, ::GetForegroundWindow());

    ::PostThreadMessageA(ownerThreadId, WM_QUIT, 0, 0);
    owner.join();
    ::DestroyWindow(target);
}

}  // namespace
