#include "lib/wfc/WheelAccumulator.h"

namespace lib::wfc {
namespace {

// Message times wrap around; their distance is taken modulo 2^32.
DWORD TimeDistance(LONG a, LONG b) noexcept {
    DWORD forward = static_cast<DWORD>(a) - static_cast<DWORD>(b);
    DWORD backward = static_cast<DWORD>(b) - static_cast<DWORD>(a);
    return forward < backward ? forward : backward;
}

int Sign(int value) noexcept { return (value > 0) - (value < 0); }

}  // namespace

int WheelAccumulator::Add(int delta, LONG time) noexcept {
    if (TimeDistance(time, lastTime_) > static_cast<DWORD>(kResetGapMilliseconds) ||
        Sign(lastDelta_) != Sign(delta)) {
        accumulator_ = 0;
    }
    accumulator_ += delta;
    lastDelta_ = delta;
    lastTime_ = time;
    int notches = accumulator_ / kNotchUnit;
    accumulator_ -= notches * kNotchUnit;
    return notches;
}

}  // namespace lib::wfc
