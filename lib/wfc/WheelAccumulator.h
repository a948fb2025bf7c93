#pragma once
// Turns wheel deltas into whole notches of 40 units (a standard 120 detent is
// three notches). Partial rolls add up while they keep their direction and
// follow each other within half a second.
#include <windows.h>

namespace lib::wfc {

class WheelAccumulator {
public:
    static constexpr int kNotchUnit = 40;
    static constexpr LONG kResetGapMilliseconds = 500;

    // Adds one non-zero delta at message time `time`; returns the whole
    // notches it completes (positive for a positive delta), usually 0.
    int Add(int delta, LONG time) noexcept;

private:
    int accumulator_ = 0;
    int lastDelta_ = 0;
    LONG lastTime_ = 0;
};

}  // namespace lib::wfc
