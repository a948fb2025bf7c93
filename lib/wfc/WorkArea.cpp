#include "lib/wfc/WorkArea.h"

#include <algorithm>

namespace lib::wfc {
namespace {

bool Overlaps(const RECT& a, const RECT& b) {
    RECT common;
    return ::IntersectRect(&common, &a, &b) != FALSE;
}

}  // namespace

RECT GetWorkArea() {
    RECT area{};
    if (!::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0)) area = RECT{};
    return area;
}

bool MoveIntoRect(HWND hwnd, const RECT& windowRect, const RECT& area) {
    const int width = windowRect.right - windowRect.left;
    const int height = windowRect.bottom - windowRect.top;
    const int x = std::max<int>(area.left, std::min<int>(windowRect.left, area.right - width));
    const int y = std::max<int>(area.top, std::min<int>(windowRect.top, area.bottom - height));
    if (x == windowRect.left && y == windowRect.top) return false;
    return ::MoveWindow(hwnd, x, y, width, height, TRUE) != FALSE;
}

std::optional<RECT> AreaToReturnTo(const RECT& windowRect, MonitorList& monitors) {
    if (monitors.Monitors().empty()) monitors.Refresh();
    const auto& all = monitors.Monitors();
    if (std::any_of(all.begin(), all.end(), [&](const MONITORINFO& m) { return Overlaps(windowRect, m.rcWork); })) {
        return std::nullopt;
    }
    const auto overlapped = std::find_if(all.begin(), all.end(),
                                         [&](const MONITORINFO& m) { return Overlaps(windowRect, m.rcMonitor); });
    return overlapped != all.end() ? overlapped->rcWork : monitors.Nearest(windowRect).rcWork;
}

bool KeepWindowOnScreen(HWND hwnd) {
    RECT windowRect{};
    if (!::GetWindowRect(hwnd, &windowRect)) return false;
    MonitorList monitors;
    const std::optional<RECT> area = AreaToReturnTo(windowRect, monitors);
    return area && MoveIntoRect(hwnd, windowRect, *area);
}

}  // namespace lib::wfc
