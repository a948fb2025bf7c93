#include "tests/support/TestWindow.h"

namespace test {

HWND CreateTestWindow(const char* className, WNDPROC procedure, const char* title, DWORD style, HWND parent,
                      void* parameter) {
    const HINSTANCE instance = ::GetModuleHandleA(nullptr);
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = className;
    ::RegisterClassExA(&windowClass);  // fails harmlessly once registered
    const int place = parent ? 0 : CW_USEDEFAULT;
    return ::CreateWindowExA(0, className, title, style, place, 0, place, 0, parent, nullptr, instance, parameter);
}

}  // namespace test
