#pragma once
// The launcher's invisible main window. It only marks the running launcher
// (other programs find it by class or title) and ends the message loop when
// it is destroyed.
#include <windows.h>

extern const char kMainWindowName[];   // "Ravelin_Launcher"
extern const char kMainWindowClass[];  // "CORVANELAUNCHER"

// Registers the marker window's class and its twin "CORVANEDROPWINDOW".
// Failures are not checked: a missing class shows when the window is created.
void RegisterMainWindowClasses(HINSTANCE instance);

// Creates the marker window, hidden; true on success.
bool CreateMainWindow(HINSTANCE instance, int showCommand);

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
