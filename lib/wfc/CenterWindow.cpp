#include "lib/wfc/CenterWindow.h"

namespace lib::wfc {

void CenterWindow(HWND hwnd, HWND relativeTo) {
    if (!relativeTo) relativeTo = ::GetDesktopWindow();
    RECT window{}, relative{};
    ::GetWindowRect(hwnd, &window);
    ::GetWindowRect(relativeTo, &relative);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    int x = relative.left + ((relative.right - relative.left) - width) / 2;
    int y = relative.top + ((relative.bottom - relative.top) - height) / 2;

    RECT workArea{};
    if (::SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0)) {
        if (x + width > workArea.right) x = workArea.right - width;
        if (y + height > workArea.bottom) y = workArea.bottom - height;
        if (x < workArea.left) x = workArea.left;
        if (y < workArea.top) y = workArea.top;
    }
    ::MoveWindow(hwnd, x, y, width, height, TRUE);
}

}  // namespace lib::wfc
