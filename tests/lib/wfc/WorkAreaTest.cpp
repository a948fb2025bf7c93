// Keeping windows on screen: the test display's single monitor, and made-up
// layouts for the choice of monitor.
#include <gtest/gtest.h>

#include "lib/wfc/MonitorList.h"
#include "lib/wfc/WorkArea.h"
#include "tests/lib/wfc/WfcTestSupport.h"

namespace {

using lib::wfc::MonitorList;

MONITORINFO Monitor(const RECT& monitor, const RECT& work, DWORD flags = 0) {
    return MONITORINFO{sizeof(MONITORINFO), monitor, work, flags};
}

bool Same(const RECT& a, const RECT& b) { return ::EqualRect(&a, &b) != FALSE; }

TEST(KeepWindowOnScreen, BringsBackAWindowOffEveryMonitorAndLeavesOneThatTouchesAWorkArea) {
    const RECT area = lib::wfc::GetWorkArea();
    test::TestWindow window;
    window.CreatePopup();
    auto keep = [&](int x, int y, int width, int height) {
        window.MoveWindow(x, y, width, height, false);
        return lib::wfc::KeepWindowOnScreen(window.GetHandle());
    };

    EXPECT_FALSE(keep(area.left - 150, area.top + 50, 200, 100));
    EXPECT_EQ(area.left - 150, window.GetWindowRect().left);
    EXPECT_TRUE(keep(area.right + 3000, area.bottom + 2000, 200, 100));
    EXPECT_TRUE(Same(RECT{area.right - 200, area.bottom - 100, area.right, area.bottom}, window.GetWindowRect()));
    // Larger than the work area: its top-left corner comes into view.
    const int wide = area.right - area.left + 300;
    EXPECT_TRUE(keep(area.left - 5000, area.top - 400, wide, 100));
    EXPECT_TRUE(Same(RECT{area.left, area.top, area.left + wide, area.top + 100}, window.GetWindowRect()));

    MonitorList real;
    real.Refresh();
    ASSERT_FALSE(real.Monitors().empty());
    EXPECT_TRUE(real.Monitors().front().dwFlags & MONITORINFOF_PRIMARY);
}

TEST(AreaToReturnTo, PrefersTheMonitorUnderTheWindowThenTheNearestByCentre) {
    // Three monitors side by side, each with a taskbar strip along its bottom.
    const RECT left{-1000, 0, 0, 800}, middle{0, 0, 1000, 800}, right{1000, 0, 2000, 800};
    auto work = [](RECT monitor) { return monitor.bottom -= 40, monitor; };
    MonitorList layout({Monitor(left, work(left)), Monitor(middle, work(middle), MONITORINFOF_PRIMARY),
                        Monitor(right, work(right))});

    EXPECT_FALSE(lib::wfc::AreaToReturnTo(RECT{1900, 700, 2100, 800}, layout)) << "touches a work area";
    EXPECT_TRUE(Same(work(right), *lib::wfc::AreaToReturnTo(RECT{1500, 770, 1700, 790}, layout)));
    EXPECT_TRUE(Same(work(middle), *lib::wfc::AreaToReturnTo(RECT{900, 770, 1100, 790}, layout)))
        << "over two taskbars: the first monitor in the list";
    EXPECT_TRUE(Same(work(right), *lib::wfc::AreaToReturnTo(RECT{2500, 100, 2700, 200}, layout)));

    EXPECT_TRUE(Same(right, layout.Nearest(RECT{1700, 300, 1900, 500}).rcMonitor));
    EXPECT_TRUE(Same(left, layout.Nearest(RECT{-100, 300, 100, 500}).rcMonitor)) << "the first of equals";
    // Far away the squared distances no longer fit 32 bits.
    EXPECT_TRUE(Same(right, layout.Nearest(RECT{99900, -50, 100100, 50}).rcMonitor));
    EXPECT_TRUE(Same(left, layout.Nearest(RECT{-100100, 90000, -99900, 90200}).rcMonitor));
}

}  // namespace
