#include "lib/wfc/MonitorList.h"

#include <algorithm>
#include <exception>

#include "lib/wfc/WorkArea.h"

namespace lib::wfc {
namespace {

struct Enumeration {
    std::vector<MONITORINFO>* monitors;
    std::exception_ptr failure;
};

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, RECT*, LPARAM data) {
    auto* enumeration = reinterpret_cast<Enumeration*>(data);
    // Nothing may unwind through the system's frames: a failure stops the
    // enumeration and is thrown again after it.
    try {
        MONITORINFO info{};
        info.cbSize = sizeof info;
        if (::GetMonitorInfoA(monitor, &info)) enumeration->monitors->push_back(info);
        return TRUE;
    } catch (...) {
        enumeration->failure = std::current_exception();
        return FALSE;
    }
}

POINT Centre(const RECT& rect) {
    return {rect.left + (rect.right - rect.left) / 2, rect.top + (rect.bottom - rect.top) / 2};
}

long long SquaredDistance(POINT a, POINT b) {
    const long long dx = static_cast<long long>(a.x) - b.x;
    const long long dy = static_cast<long long>(a.y) - b.y;
    return dx * dx + dy * dy;
}

}  // namespace

void MonitorList::Refresh() {
    std::vector<MONITORINFO> monitors;
    Enumeration enumeration{&monitors, nullptr};
    ::EnumDisplayMonitors(nullptr, nullptr, &AddMonitor, reinterpret_cast<LPARAM>(&enumeration));
    if (enumeration.failure) std::rethrow_exception(enumeration.failure);

    if (monitors.empty()) {
        MONITORINFO info{};
        info.cbSize = sizeof info;
        info.rcMonitor = info.rcWork = GetWorkArea();
        info.dwFlags = MONITORINFOF_PRIMARY;
        monitors.push_back(info);
    }
    auto primary = std::find_if(monitors.begin(), monitors.end(),
                                [](const MONITORINFO& info) { return info.dwFlags & MONITORINFOF_PRIMARY; });
    if (primary != monitors.end()) std::rotate(monitors.begin(), primary, primary + 1);
    monitors_ = std::move(monitors);
}

MONITORINFO MonitorList::Nearest(const RECT& rect) {
    if (monitors_.empty()) Refresh();
    const POINT centre = Centre(rect);
    return *std::min_element(monitors_.begin(), monitors_.end(), [&](const MONITORINFO& a, const MONITORINFO& b) {
        return SquaredDistance(Centre(a.rcMonitor), centre) < SquaredDistance(Centre(b.rcMonitor), centre);
    });
}

}  // namespace lib::wfc
