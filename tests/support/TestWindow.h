#pragma once
// Windows that tests make to stand in for a program or to receive messages.
#include <windows.h>

namespace test {

// A window of class `className` (registered with `procedure` on first use),
// with `parameter` as its creation parameter. A parent of HWND_MESSAGE makes
// a message-only window; without a parent the window is top-level, at the
// default place and size.
HWND CreateTestWindow(const char* className, WNDPROC procedure, const char* title, DWORD style,
                      HWND parent = nullptr, void* parameter = nullptr);

}  // namespace test
