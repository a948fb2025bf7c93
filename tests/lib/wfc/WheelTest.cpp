// Wheel deltas become notches of 40 units; partial rolls add up only while
// they keep their direction and come within half a second.
#include <gtest/gtest.h>

#include <vector>

#include "lib/wfc/WheelAccumulator.h"
#include "tests/lib/wfc/WfcTestSupport.h"

namespace {

using lib::wfc::WheelAccumulator;

TEST(WheelAccumulator, PartialRollsAddUpToWholeNotches) {
    WheelAccumulator wheel;
    EXPECT_EQ(0, wheel.Add(20, 1000));
    EXPECT_EQ(1, wheel.Add(20, 1100));
    EXPECT_EQ(3, wheel.Add(120, 1200));
    EXPECT_EQ(0, wheel.Add(-30, 1300));
    EXPECT_EQ(-1, wheel.Add(-30, 1400));  // -60: one notch, -20 left over
    EXPECT_EQ(0, wheel.Add(-19, 1500));
    EXPECT_EQ(-1, wheel.Add(-1, 1600));
}

TEST(WheelAccumulator, ADirectionChangeOrAPauseOverHalfASecondStartsAfresh) {
    WheelAccumulator wheel;
    EXPECT_EQ(0, wheel.Add(20, 1000));
    EXPECT_EQ(0, wheel.Add(10, 1050));
    EXPECT_EQ(0, wheel.Add(-20, 1100));
    EXPECT_EQ(-1, wheel.Add(-20, 1200));  // without the reset the sum would be -10
    EXPECT_EQ(0, wheel.Add(-20, 1300));
    EXPECT_EQ(-1, wheel.Add(-20, 1800));  // exactly 500 ms apart: still adds up

    EXPECT_EQ(0, wheel.Add(20, 2000));
    EXPECT_EQ(0, wheel.Add(20, 2501));

    // Message times wrap around; the two deltas are 20 ms apart.
    EXPECT_EQ(0, wheel.Add(20, -10));
    EXPECT_EQ(1, wheel.Add(20, 10));
    EXPECT_EQ(0, wheel.Add(20, 0x7FFFFFF0));
    EXPECT_EQ(1, wheel.Add(20, static_cast<LONG>(0x80000004u)));
}

class WheelWindow : public test::TestWindow {
public:
    void OnMouseWheelNotch(UINT keys, int count, int x, int y) override {
        notches.push_back({static_cast<int>(keys), count, x, y});
    }
    void OnMouseWheel(UINT, int delta, int, int) override { deltas.push_back(delta); }
    std::vector<std::vector<int>> notches;
    std::vector<int> deltas;
};

TEST(WheelAccumulator, TwoSmallRollsOfAWindowGiveOneNotchTowardsTheUser) {
    WheelWindow window;
    window.CreatePopup();
    for (int i = 0; i < 2; ++i)
        window.PostMessage(WM_MOUSEWHEEL, MAKEWPARAM(MK_SHIFT, 20), MAKELPARAM(-3, 250));
    ASSERT_TRUE(test::PumpUntil([&] { return window.deltas.size() == 2; }));
    EXPECT_EQ((std::vector<std::vector<int>>{{MK_SHIFT, -1, -3, 250}}), window.notches);
}

}  // namespace
