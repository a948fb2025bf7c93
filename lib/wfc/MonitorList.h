#pragma once
// The display monitors with their work areas, the primary one first.
#include <windows.h>

#include <utility>
#include <vector>

namespace lib::wfc {

class MonitorList {
public:
    MonitorList() = default;
    // A list of known monitors, kept in the given order.
    explicit MonitorList(std::vector<MONITORINFO> monitors) : monitors_(std::move(monitors)) {}

    // Reads the monitors again. With none readable the list holds one entry
    // made from the work area.
    void Refresh();
    // The monitor whose centre is nearest to the centre of `rect` (the first
    // of equals); reads the monitors first when the list is empty.
    MONITORINFO Nearest(const RECT& rect);

    const std::vector<MONITORINFO>& Monitors() const noexcept { return monitors_; }

private:
    std::vector<MONITORINFO> monitors_;
};

}  // namespace lib::wfc
