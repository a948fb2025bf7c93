#include "launcher/app/MainWindow.h"

#include "launcher/app/LauncherResources.h"

const char kMainWindowName[] = "Ravelin_Launcher";
const char kMainWindowClass[] = "CORVANELAUNCHER";

namespace {

const char kDropWindowClass[] = "CORVANEDROPWINDOW";

void RegisterMainWindowClass(HINSTANCE instance, const char* className) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = ::LoadIconA(instance, MAKEINTRESOURCEA(IDI_RAVELIN_LAUNCHER));
    windowClass.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    windowClass.lpszClassName = className;
    windowClass.hIconSm = ::LoadIconA(instance, MAKEINTRESOURCEA(IDI_RAVELIN_LAUNCHER_SMALL));
    ::RegisterClassExA(&windowClass);
}

}  // namespace

void RegisterMainWindowClasses(HINSTANCE instance) {
    RegisterMainWindowClass(instance, kMainWindowClass);
    RegisterMainWindowClass(instance, kDropWindowClass);
}

bool CreateMainWindow(HINSTANCE instance, int /*showCommand*/) {
    HWND window = ::CreateWindowExA(0, kMainWindowClass, kMainWindowName, WS_OVERLAPPEDWINDOW,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                    nullptr, nullptr, instance, nullptr);
    if (!window) return false;
    ::ShowWindow(window, SW_HIDE);
    ::UpdateWindow(window);
    return true;
}

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        ::BeginPaint(hwnd, &paint);
        ::EndPaint(hwnd, &paint);
        return 0;
    }
    default:
        return ::DefWindowProcA(hwnd, message, wParam, lParam);
    }
}
