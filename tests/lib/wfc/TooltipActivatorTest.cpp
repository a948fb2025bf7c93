// The tooltip activator against a stand-in tooltip that answers the initial
// delay and counts update requests; driven by a timer, as skin windows drive
// it, or by its own thread.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include "lib/wfc/TooltipActivator.h"
#include "tests/lib/wfc/WfcTestSupport.h"

namespace {

using lib::wfc::CTooltipActivator;

constexpr DWORD kDelay = 150;

class FakeTooltip : public test::TestWindow {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == TTM_GETDELAYTIME && wParam == TTDT_INITIAL) return kDelay;
        if (message == TTM_UPDATE) {
            ++updates;
            lastUpdate = ::GetTickCount();
        }
        if (message == WM_TIMER) activator->Check();
        return CWindow::WindowProc(message, wParam, lParam);
    }
    CTooltipActivator* activator = nullptr;
    int updates = 0;
    DWORD lastUpdate = 0;
};

void PumpFor(DWORD milliseconds) { test::PumpUntil([] { return false; }, milliseconds); }

TEST(TooltipActivator, AsksAHiddenTooltipOnceAfterTheDelayAndLeavesAVisibleOneAlone) {
    FakeTooltip tooltip;
    CTooltipActivator activator;
    tooltip.activator = &activator;
    tooltip.CreatePopup(true);
    activator.Attach(tooltip.GetHandle(), true);
    EXPECT_EQ(nullptr, activator.GetHandle()) << "no thread of its own on Windows XP and later";
    tooltip.SetTimer(1, 20);

    // Visible: nothing is asked, but the rest counts as handled.
    activator.OnMouseMove(5, 5);
    PumpFor(400);
    tooltip.ShowWindow(SW_HIDE);
    PumpFor(300);
    EXPECT_EQ(0, tooltip.updates);

    activator.OnMouseMove(10, 10);
    const DWORD moved = ::GetTickCount();
    ASSERT_TRUE(test::PumpUntil([&] { return tooltip.updates > 0; }));
    EXPECT_GE(tooltip.lastUpdate - moved, kDelay);
    // Resting on, or a move to the same point, asks nothing more.
    activator.OnMouseMove(10, 10);
    PumpFor(400);
    EXPECT_EQ(1, tooltip.updates);
    tooltip.KillTimer(1);
}

TEST(TooltipActivator, ItsThreadChecksAndStopEndsItAtOnceAndForgetsTheTooltip) {
    FakeTooltip tooltip;
    tooltip.CreatePopup();
    CTooltipActivator activator;
    activator.Attach(tooltip.GetHandle(), false);
    ASSERT_TRUE(activator.Start());
    activator.OnMouseMove(1, 1);
    ASSERT_TRUE(test::PumpUntil([&] { return tooltip.updates == 1; }));

    const DWORD stopping = ::GetTickCount();
    activator.Stop();
    EXPECT_LT(::GetTickCount() - stopping, 1000u);
    EXPECT_TRUE(activator.Join(0));

    activator.OnMouseMove(2, 2);
    PumpFor(300);
    activator.Check();
    PumpFor(100);
    EXPECT_EQ(1, tooltip.updates);
}

}  // namespace
