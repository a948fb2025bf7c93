#include "updater/RequestWindow.h"

#include <exception>

#include "log/KilnLogWrapper.h"
#include "updater/CopyDataDispatch.h"
#include "updater/UpdaterResources.h"

namespace updater {
namespace {

constexpr char kClassName[] = "VEDAZAVUZUVEZ";
constexpr char kTitle[] = "VedaZavuzuvez";

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        ::EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COPYDATA:
        return OnCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lParam)) ? TRUE : FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDM_ABOUT) {
            auto instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrA(window, GWLP_HINSTANCE));
            ::DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_ABOUTBOX), window, &AboutProc, 0);
            return 0;
        }
        if (LOWORD(wParam) == IDM_EXIT) {
            ::DestroyWindow(window);
            return 0;
        }
        break;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        ::BeginPaint(window, &paint);
        ::EndPaint(window, &paint);
        return 0;
    }
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        return HandleMessage(window, message, wParam, lParam);
    } catch (const std::exception& error) {
        KILNLOG.Write(kLogError, "%s", error.what());
    } catch (...) {
        KILNLOG.Write(kLogError, "unknown exception");
    }
    return 0;
}

}  // namespace

HWND CreateRequestWindow(HINSTANCE instance, int showCommand) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = &WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = ::LoadIconA(instance, MAKEINTRESOURCEA(IDI_RAVELIN_UPDATE));
    windowClass.hIconSm = ::LoadIconA(instance, MAKEINTRESOURCEA(IDI_RAVELIN_UPDATE_SMALL));
    windowClass.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    windowClass.lpszMenuName = MAKEINTRESOURCEA(IDC_RAVELIN_UPDATE);
    windowClass.lpszClassName = kClassName;
    if (!::RegisterClassExA(&windowClass)) return nullptr;

    HWND window = ::CreateWindowA(kClassName, kTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0, CW_USEDEFAULT, 0,
                                  nullptr, nullptr, instance, nullptr);
    if (!window) return nullptr;
    ::ShowWindow(window, showCommand);
    ::UpdateWindow(window);
    return window;
}

}  // namespace updater
