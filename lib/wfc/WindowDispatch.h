#pragma once
// The one window procedure of every framework window class. It binds the
// window to the CWindow passed as creation parameter (during WM_NCCREATE) and
// runs the object's WindowProc through the policy's guarded call, with the
// message made current on this thread for DefaultProc.
#include <windows.h>

namespace lib::wfc {

LRESULT CALLBACK FrameworkWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace lib::wfc
