// Skin windows as real windows: composing into the back buffer, the shape,
// mouse and keyboard routing to items, tooltips, the caption band and the
// list of live windows, all driven through window messages.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tests/ui/SkinTestSupport.h"
#include "tests/ui/SkinWindowTestSupport.h"
#include "ui/CSkinWindowException.h"
#include "ui/RedrawSuspension.h"
#include "ui/SkinItemAccess.h"
#include "ui/SkinWindow.h"
#include "ui/SkinWindowItemButton.h"

namespace {

using skintest::PixelAt;
using skintest::PointParam;
using skintest::ProbeItem;

// Cells (row r, column c) of the background nine-grid in ItemParts.png.
constexpr COLORREF Cell(int r, int c) { return RGB(20 + 40 * c, 20 + 40 * r, 200); }
constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kRed = RGB(230, 10, 10);
constexpr COLORREF kGreen = RGB(10, 230, 10);
constexpr COLORREF kBlue = RGB(10, 10, 230);

class TestSkinWindow : public ui::CSkinWindow {
public:
    explicit TestSkinWindow(const char* section = "Base") {
        if (section) LoadSkinFile(definition, "TestWindow.txt", section, true);
    }
    ~TestSkinWindow() override {
        if (::IsWindow(GetHandle())) ::DestroyWindow(GetHandle());
    }

    void Make(int width = 120, int height = 80) {
        Create(0, nullptr, "skin window test", WS_POPUP, 200, 200, width, height, nullptr, nullptr);
        ShowWindow(SW_SHOWNOACTIVATE);
    }
    ProbeItem& Probe(int id, RECT rect, COLORREF color, bool captures = true) {
        return static_cast<ProbeItem&>(AddItem(std::make_unique<ProbeItem>(*this, id, rect, color, &log, captures)));
    }
    COLORREF Pixel(int x, int y) { return PixelAt(GetBackBuffer(), x, y); }
    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) { return ::SendMessageA(GetHandle(), message, wParam, lParam); }
    std::vector<std::string> TakeLog() { return std::exchange(log, {}); }

    void OnAcceptCancel(int id, bool accept) override { answers.emplace_back(id, accept); }
    void OnCommand(UINT id, UINT code, HWND control) override {
        commands.emplace_back(id, code);
        CSkinWindow::OnCommand(id, code, control);
    }
    void OnSkinReload() override { ++reloads; }
    void OnPaint() override {
        ++screenPaints;
        CSkinWindow::OnPaint();
    }

    ui::SkinDefinition definition;
    std::vector<std::pair<int, bool>> answers;
    std::vector<std::pair<UINT, UINT>> commands;
    std::vector<std::string> log;
    int reloads = 0;
    int screenPaints = 0;
};

class SkinWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        skintest::EnsureFramework();
        skintest::TakeReportedErrors();
    }
    void TearDown() override { EXPECT_EQ(std::vector<std::string>(), skintest::TakeReportedErrors()); }
};

TEST_F(SkinWindowTest, TheCaptionBandDragsTheWindowExceptOverAnItem) {
    TestSkinWindow window;
    window.AddButton(7, ui::GetSkinItem(window.definition, "CloseButton"), 3);
    window.Make();
    const RECT frame = window.GetWindowRect();
    const struct {
        POINT client;
        LRESULT hit;
    } cases[] = {
        {{5, 0}, HTCAPTION},  {{15, 19}, HTCAPTION}, {{110, 10}, HTCAPTION},  // band, outside the button
        {{60, 0}, HTCLIENT},  {{99, 19}, HTCLIENT},                            // the button's corners
        {{15, 20}, HTCLIENT}, {{110, 79}, HTCLIENT},                           // below the band
    };
    for (const auto& check : cases) {
        SCOPED_TRACE(std::to_string(check.client.x) + "," + std::to_string(check.client.y));
        EXPECT_EQ(check.hit, window.Send(WM_NCHITTEST, 0, PointParam(frame.left + check.client.x,
                                                                     frame.top + check.client.y)));
    }

    // The button in the band takes the click: one WM_COMMAND (id, 1).
    window.Send(WM_LBUTTONDOWN, MK_LBUTTON, PointParam(70, 10));
    window.Send(WM_LBUTTONUP, 0, PointParam(70, 10));
    skintest::PumpPending();
    EXPECT_EQ((std::vector<std::pair<UINT, UINT>>{{7, 1}}), window.commands);
    EXPECT_EQ(window.FindItem(7), static_cast<ui::CSkinWindowItem*>(window.GetCaptionButton(3)));
}

TEST_F(SkinWindowTest, TheBackBufferFollowsTheClientSizeAndIsNeverEmpty) {
    TestSkinWindow window;
    window.Make();
    const struct {
        SIZE client, buffer;
    } cases[] = {{{0, 0}, {1, 1}}, {{0, 5}, {1, 5}}, {{57, 33}, {57, 33}}, {{120, 80}, {120, 80}}};
    for (const auto& check : cases) {
        SCOPED_TRACE(std::to_string(check.client.cx) + "x" + std::to_string(check.client.cy));
        ::SetWindowPos(window.GetHandle(), nullptr, 0, 0, check.client.cx, check.client.cy,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        EXPECT_EQ(check.buffer.cx, window.GetBackBuffer().Width());
        EXPECT_EQ(check.buffer.cy, window.GetBackBuffer().Height());
        EXPECT_TRUE(window.IsWindowReady());
    }
}

TEST_F(SkinWindowTest, EnterAcceptsAndEscapeCancelsWithoutAFocusedItem) {
    TestSkinWindow window;
    window.Probe(1, {0, 30, 20, 50}, kRed);
    window.Make();
    ASSERT_EQ(nullptr, window.GetFocusedItem());
    for (const UINT key : {VK_ESCAPE, VK_RETURN, VK_SPACE}) window.Send(WM_KEYDOWN, key, 0);
    EXPECT_EQ((std::vector<std::pair<int, bool>>{{-1, false}, {-1, true}}), window.answers);
}

TEST_F(SkinWindowTest, AnItemWithAnIdAlreadyPresentReplacesTheOldOneInItsPlace) {
    TestSkinWindow window;
    int deleted = 0;
    window.Probe(5, {0, 30, 20, 50}, kRed).deleted = &deleted;
    window.Probe(6, {40, 30, 60, 50}, kGreen);
    window.Probe(5, {0, 60, 20, 80}, kBlue).deleted = &deleted;
    EXPECT_EQ(1, deleted);
    ASSERT_EQ(2u, window.Items().size());
    EXPECT_EQ(5, window.Items()[0]->GetId());
    EXPECT_EQ(60, window.Items()[0]->Y());

    // In a live window the new item shows at once and the old one's place is background again.
    window.Make();
    window.Send(WM_LBUTTONDOWN, MK_LBUTTON, PointParam(5, 65));  // focus, hover and capture on it
    ASSERT_EQ(window.FindItem(5), window.GetFocusedItem());
    window.Probe(5, {70, 30, 90, 50}, kRed).deleted = &deleted;
    EXPECT_EQ(2, deleted);
    EXPECT_EQ(nullptr, window.GetFocusedItem());
    EXPECT_EQ(nullptr, window.GetHoverItem());
    EXPECT_EQ(nullptr, window.GetCapturedItem());
    EXPECT_EQ(kRed, window.Pixel(75, 35));
    EXPECT_EQ(kMagenta, window.Pixel(5, 65));
    window.Send(WM_LBUTTONUP, 0, PointParam(5, 65));
    window.Send(WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(1u, window.answers.size());
}

TEST_F(SkinWindowTest, ABaseWithoutCaptionHeightIsASkinError) {
    TestSkinWindow window(nullptr);
    ui::SkinDefinition definition;
    const std::string text = "NoCaptionBase/CaptionHeightが定義されていません";
    try {
        window.LoadSkinFile(definition, "TestWindow.txt", "NoCaptionBase", true);
        ADD_FAILURE() << "loaded";
    } catch (const ui::CSkinWindowException& failure) {
        EXPECT_EQ(text, failure.what());
    }
    EXPECT_EQ(std::vector<std::string>{text}, skintest::TakeReportedErrors());
}

TEST_F(SkinWindowTest, TheBaseFontIsSpreadToBlocksWithoutOneOrWithEmptyValues) {
    TestSkinWindow window;
    const auto font = [&](const char* block) { return window.definition.items.at(block).keys.at("Font"); };
    EXPECT_EQ((ui::SkinValueList{"MS PGothic", "12", "400"}), font("FontlessItem"));
    EXPECT_EQ((ui::SkinValueList{"MS PGothic", "20", "700"}), font("PartFontItem"));
    EXPECT_EQ("skin window test", window.GetTitle());
    EXPECT_EQ(20, window.GetCaptionHeight());
    EXPECT_NE(nullptr, window.GetWindowFont());
}

TEST_F(SkinWindowTest, LiveSkinWindowsAreListedFromCreationToDestruction) {
    TestSkinWindow first, second;
    first.Make();
    second.Make();
    const HWND handles[] = {first.GetHandle(), second.GetHandle()};
    for (const HWND handle : handles) EXPECT_TRUE(ui::IsLiveSkinWindow(handle));
    ::DestroyWindow(handles[0]);
    EXPECT_FALSE(ui::IsLiveSkinWindow(handles[0]));
    EXPECT_TRUE(ui::IsLiveSkinWindow(handles[1]));
    const std::vector<HWND> live = ui::LiveSkinWindows();
    EXPECT_EQ(0, std::count(live.begin(), live.end(), handles[0]));
    EXPECT_EQ(1, std::count(live.begin(), live.end(), handles[1]));
}

TEST_F(SkinWindowTest, BackgroundAndVisibleItemsAreComposedAndMagentaIsCutFromTheShape) {
    TestSkinWindow window;
    window.Probe(1, {40, 40, 60, 60}, kRed);
    window.Probe(2, {50, 50, 70, 70}, kGreen);
    window.Probe(3, {0, 60, 10, 70}, kBlue).SetVisible(false);
    window.Make();
    const struct {
        POINT at;
        COLORREF color;
    } cases[] = {
        {{5, 5}, Cell(0, 0)},  {{25, 25}, Cell(2, 2)}, {{35, 5}, kMagenta},  // the image from its source corner
        {{110, 5}, RGB(0, 0, 0)},                                              // beyond the image: black
        {{45, 45}, kRed},      {{55, 55}, kGreen},                             // list order: the later on top
        {{5, 65}, kMagenta},                                                   // hidden item not drawn
    };
    for (const auto& check : cases) {
        SCOPED_TRACE(std::to_string(check.at.x) + "," + std::to_string(check.at.y));
        EXPECT_EQ(check.color, window.Pixel(check.at.x, check.at.y));
    }
    lib::RegionHandle shape(::CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(ERROR, ::GetWindowRgn(window.GetHandle(), shape.get()));
    EXPECT_TRUE(::PtInRegion(shape.get(), 5, 5));
    EXPECT_FALSE(::PtInRegion(shape.get(), 35, 5));
    EXPECT_TRUE(::PtInRegion(shape.get(), 110, 5));

    // Hiding an item composes its rectangle again, and only that.
    auto& green = static_cast<ProbeItem&>(*window.FindItem(2));
    auto& red = static_cast<ProbeItem&>(*window.FindItem(1));
    const int redPaints = red.paints;
    green.SetVisible(false);
    EXPECT_EQ(kRed, window.Pixel(55, 55));
    EXPECT_EQ(RGB(128, 128, 128), window.Pixel(65, 65));  // the image again
    EXPECT_EQ(redPaints + 1, red.paints);
    window.RedrawRect(RECT{100, 0, 120, 20}, false);
    EXPECT_EQ(redPaints + 1, red.paints);
}

TEST_F(SkinWindowTest, MouseInputGoesToTheTopmostItemAndFollowsTheCapture) {
    TestSkinWindow window;
    window.Probe(1, {10, 30, 50, 70}, kRed);
    window.Probe(2, {30, 30, 70, 70}, kGreen);
    window.Make();
    window.Send(WM_LBUTTONDOWN, MK_LBUTTON, PointParam(40, 40));
    window.Send(WM_MOUSEMOVE, MK_LBUTTON, PointParam(100, 50));
    window.Send(WM_LBUTTONUP, 0, PointParam(100, 50));
    EXPECT_EQ((std::vector<std::string>{"down #2 10,10", "focus #2", "move #2 70,20", "up #2 70,20"}),
              window.TakeLog());
    EXPECT_EQ(nullptr, window.GetCapturedItem());

    window.Send(WM_LBUTTONDOWN, MK_LBUTTON, PointParam(15, 40));
    EXPECT_EQ(window.FindItem(1), window.GetCapturedItem());
    ::ReleaseCapture();  // taken away: the item hears a cancel, not an up
    std::vector<std::string> log = window.TakeLog();
    ASSERT_EQ(5u, log.size());
    EXPECT_EQ((std::vector<std::string>{"down #1 5,10", "killfocus #2", "focus #1", "leave #2"}),
              std::vector<std::string>(log.begin(), log.begin() + 4));
    EXPECT_EQ(0u, log[4].rfind("cancel #1 ", 0)) << log[4];
    EXPECT_EQ(nullptr, window.GetCapturedItem());

    window.Send(WM_MOUSEMOVE, 0, PointParam(60, 60));
    window.Send(WM_MOUSELEAVE, 0, 0);
    window.Send(WM_RBUTTONDOWN, MK_RBUTTON, PointParam(40, 40));
    window.Send(WM_RBUTTONUP, 0, PointParam(40, 40));
    EXPECT_EQ((std::vector<std::string>{"leave #1", "move #2 30,30", "leave #2", "rdown #2 10,10", "killfocus #1",
                                        "focus #2", "rup #2 10,10"}),
              window.TakeLog());

    // A hidden item takes no input: the one below it does.
    window.FindItem(2)->SetVisible(false);
    window.Send(WM_LBUTTONDOWN, MK_LBUTTON, PointParam(40, 40));
    window.Send(WM_LBUTTONUP, 0, PointParam(40, 40));
    const std::vector<std::string> below = window.TakeLog();
    ASSERT_FALSE(below.empty());
    EXPECT_EQ("down #1 30,10", below.front());
    EXPECT_EQ("up #1 30,10", below.back());
}

TEST_F(SkinWindowTest, TheTimerTicksItemsWithTheTickCount) {
    TestSkinWindow window;
    ProbeItem& probe = window.Probe(1, {0, 30, 20, 50}, kRed);
    window.Make();
    const DWORD before = ::GetTickCount();
    ASSERT_TRUE(skintest::PumpUntil([&] { return probe.ticks >= 2; }, 3000));
    EXPECT_GE(probe.lastTick, before);
    EXPECT_LE(probe.lastTick, ::GetTickCount());
    // Other timer ids are not the animation tick.
    const int ticks = probe.ticks;
    window.Send(WM_TIMER, 5, 0);
    EXPECT_EQ(ticks, probe.ticks);
    window.Send(WM_TIMER, ui::CSkinWindow::kAnimationTimer, 0);
    EXPECT_EQ(ticks + 1, probe.ticks);
}

TEST_F(SkinWindowTest, AnInactiveWindowShowsItsCaptionButtonsDisabled) {
    TestSkinWindow window;
    window.AddButton(7, ui::GetSkinItem(window.definition, "CloseButton"), 1);
    window.Make();
    const COLORREF normal = RGB(50, 100, 0), disabled = RGB(128, 128, 128);
    EXPECT_EQ(normal, window.Pixel(60, 0));
    window.Send(WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_EQ(disabled, window.Pixel(60, 0));
    window.Send(WM_ACTIVATE, WA_CLICKACTIVE, 0);
    EXPECT_EQ(normal, window.Pixel(60, 0));
    window.Send(WM_SHOWWINDOW, FALSE, 0);
    EXPECT_EQ(disabled, window.Pixel(60, 0));
}

TEST_F(SkinWindowTest, TooltipTextComesFromTheItemUnderTheMouse) {
    TestSkinWindow window;
    ProbeItem& probe = window.Probe(1, {0, 30, 40, 70}, kRed);
    window.Probe(2, {60, 30, 100, 70}, kGreen).SetTooltipState(ui::TooltipState::None);
    window.Make();
    const HWND tooltip = window.GetTooltipWindow();
    ASSERT_NE(nullptr, tooltip);
    EXPECT_EQ(1, ::SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0));
    EXPECT_EQ(ui::TooltipState::Registered, probe.GetTooltipState());

    const auto ask = [&] {
        NMTTDISPINFOA info{};
        info.hdr = NMHDR{tooltip, 1, TTN_GETDISPINFOA};
        info.lpszText = info.szText;
        EXPECT_EQ(0, window.Send(WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&info)));
        return std::string(info.lpszText);
    };
    window.Send(WM_MOUSEMOVE, 0, PointParam(10, 40));
    ASSERT_EQ(&probe, window.GetTooltipItem());
    const std::string longTip(100, 'a');
    const std::string splitTip = std::string(78, 'a') + "あ";  // a double-byte character at 79-80
    const struct {
        std::string tip;
        bool enabled;
        std::string shown;
    } cases[] = {{"probe tip", true, "probe tip"},
                 {longTip, true, longTip.substr(0, 79)},
                 {splitTip, true, splitTip.substr(0, 78)},
                 {"disabled", false, ""},
                 {"", true, ""}};
    for (const auto& check : cases) {
        SCOPED_TRACE(check.tip);
        probe.tipText = check.tip;
        probe.SetEnabled(check.enabled);
        EXPECT_EQ(check.shown, ask());
    }
    // No tooltip over the item that has none.
    window.Send(WM_MOUSEMOVE, 0, PointParam(70, 40));
    EXPECT_EQ(nullptr, window.GetTooltipItem());

    // Hidden items lose their tools.
    probe.SetVisible(false);
    window.RefreshTooltips();
    EXPECT_EQ(0, ::SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0));
    probe.SetVisible(true);
    window.RefreshTooltips();
    EXPECT_EQ(1, ::SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0));
}

TEST_F(SkinWindowTest, TheReloadMessageComposesTheWindowAgain) {
    TestSkinWindow window;
    ProbeItem& probe = window.Probe(1, {0, 30, 20, 50}, kRed);
    window.Make();
    const int paints = probe.paints;
    window.PostMessage(ui::CSkinWindow::GetSkinReloadMessage(), 1, 0);
    window.PostMessage(ui::CSkinWindow::GetSkinReloadMessage(), 0, 0);
    ASSERT_TRUE(skintest::PumpUntil([&] { return window.reloads > 0; }, 2000));
    skintest::PumpPending();
    EXPECT_EQ(1, window.reloads);
    EXPECT_LT(paints, probe.paints);
    EXPECT_FALSE(window.IsRedrawSuspended());
}

TEST_F(SkinWindowTest, ClicksBecomeCommandsAndRedrawsAreHeldUntilTheOutermostGuard) {
    TestSkinWindow window;
    EXPECT_FALSE(window.NotifyCommand(42, 0));  // no window yet: nothing is posted
    window.Make();
    EXPECT_TRUE(window.NotifyCommand(42, 0));
    EXPECT_FALSE(window.NotifyCommand(42, 3));
    skintest::PumpPending();
    EXPECT_EQ((std::vector<std::pair<UINT, UINT>>{{42, 1}}), window.commands);

    {
        const ui::RedrawSuspension outer(window);
        {
            const ui::RedrawSuspension inner(window);
            EXPECT_TRUE(window.IsRedrawSuspended());
        }
        EXPECT_TRUE(window.IsRedrawSuspended());
    }
    EXPECT_FALSE(window.IsRedrawSuspended());
    EXPECT_FALSE(window.SetRedrawSuspended(true));
    EXPECT_TRUE(window.SetRedrawSuspended(false));
}

TEST_F(SkinWindowTest, ARebuildAtTheSameSizeComposesTheKeptBufferAfresh) {
    TestSkinWindow window;
    ProbeItem& probe = window.Probe(1, {40, 40, 60, 60}, kRed);
    window.Make();
    const HBITMAP bitmap = window.GetBackBuffer().Handle();
    // Moved without a redraw: only composing shows it.
    probe.SetRect(70, 40, 90, 60);
    ASSERT_TRUE(window.RebuildBackBuffer(SIZE_RESTORED, 120, 80));
    EXPECT_EQ(bitmap, window.GetBackBuffer().Handle());
    const RECT clip = window.GetBackBuffer().ClipRect(), whole{0, 0, 120, 80};
    EXPECT_TRUE(::EqualRect(&clip, &whole));

    TestSkinWindow fresh;
    fresh.Probe(1, {70, 40, 90, 60}, kRed);
    fresh.Make();
    const auto pixels = [](const lib::wfc::CDIB& buffer) {
        return std::vector<BYTE>(buffer.Bits(), buffer.Bits() + static_cast<std::size_t>(buffer.Stride()) * buffer.Height());
    };
    EXPECT_TRUE(pixels(fresh.GetBackBuffer()) == pixels(window.GetBackBuffer()));
    EXPECT_EQ(kRed, window.Pixel(75, 45));
}

TEST_F(SkinWindowTest, RedrawsInABatchAreComposedOnceWhenItIsCommitted) {
    TestSkinWindow window;
    ProbeItem& left = window.Probe(1, {0, 30, 20, 50}, kRed);
    ProbeItem& right = window.Probe(2, {80, 30, 100, 50}, kBlue);
    window.Make();
    const int leftPaints = left.paints, rightPaints = right.paints;
    {
        ui::CSkinWindow::CRedrawBatch batch(window);
        window.RedrawRect(RECT{0, 30, 20, 50}, false);
        window.RedrawRect(RECT{80, 30, 100, 50}, false);
        window.RedrawRect(RECT{0, 30, 20, 50}, false);
        EXPECT_EQ(leftPaints, left.paints);
        batch.Commit();
        EXPECT_EQ(leftPaints + 1, left.paints);
        EXPECT_EQ(rightPaints + 1, right.paints);
    }
    {
        // Left without Commit: dropped, for a caller that composes everything next.
        const ui::CSkinWindow::CRedrawBatch dropped(window);
        window.RedrawRect(RECT{0, 30, 20, 50}, false);
    }
    EXPECT_EQ(leftPaints + 1, left.paints);
    window.RedrawRect(RECT{0, 30, 20, 50}, false);
    EXPECT_EQ(leftPaints + 2, left.paints);
    EXPECT_EQ(rightPaints + 1, right.paints);
}

TEST_F(SkinWindowTest, ASizeThatKeepsTheShapeStillRepaintsTheWindow) {
    TestSkinWindow window;
    window.Make();
    lib::RegionHandle before(::CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(ERROR, ::GetWindowRgn(window.GetHandle(), before.get()));
    const int paints = window.screenPaints;
    window.Send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(120, 80));
    EXPECT_LT(paints, window.screenPaints);
    lib::RegionHandle after(::CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(ERROR, ::GetWindowRgn(window.GetHandle(), after.get()));
    EXPECT_TRUE(::EqualRgn(before.get(), after.get()));

    // Another size is another shape.
    ::SetWindowPos(window.GetHandle(), nullptr, 0, 0, 150, 80, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_NE(ERROR, ::GetWindowRgn(window.GetHandle(), after.get()));
    EXPECT_FALSE(::EqualRgn(before.get(), after.get()));
    EXPECT_TRUE(::PtInRegion(after.get(), 140, 70));
}

}  // namespace
