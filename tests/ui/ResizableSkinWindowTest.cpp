// Resizable skin windows: the zone table, dragging edges within the minimum
// size, the nine-grid background, the layout rules; and the frame overlay and
// end-session waiting that the launcher's windows add on top.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "lib/UniqueHandle.h"
#include "tests/ui/ItemTestOwner.h"
#include "tests/ui/SkinTestSupport.h"
#include "tests/ui/SkinWindowTestSupport.h"
#include "ui/EndSessionWaitingWindow.h"
#include "ui/FrameOverlayWindowBase.h"
#include "ui/LayoutManager.h"
#include "ui/ResizableSkinWindow.h"
#include "ui/ResizeZone.h"

namespace {

using skintest::PixelAt;
using skintest::PointParam;
using skintest::ProbeItem;

constexpr COLORREF Cell(int r, int c) { return RGB(20 + 40 * c, 20 + 40 * r, 200); }
constexpr COLORREF kRed = RGB(230, 10, 10);

std::string Text(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

class TestResizableWindow : public ui::CResizableSkinWindow {
public:
    explicit TestResizableWindow(const char* section = "ResizableBase") {
        LoadSkinFile(definition, "TestWindow.txt", section, true);
    }
    ~TestResizableWindow() override {
        if (::IsWindow(GetHandle())) ::DestroyWindow(GetHandle());
    }

    void Make(int width = 100, int height = 80) {
        Create(0, nullptr, "resizable test", WS_POPUP, 300, 200, width, height, nullptr, nullptr);
        ShowWindow(SW_SHOWNOACTIVATE);
    }
    ProbeItem& Probe(int id, RECT rect) {
        return static_cast<ProbeItem&>(AddItem(std::make_unique<ProbeItem>(*this, id, rect, kRed, nullptr)));
    }
    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) { return ::SendMessageA(GetHandle(), message, wParam, lParam); }
    // A mouse message at a screen point, in the window's client coordinates of the moment.
    void SendAtScreen(UINT message, POINT screen) {
        ::ScreenToClient(GetHandle(), &screen);
        Send(message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, PointParam(screen.x, screen.y));
    }
    void Resize(int width, int height) {
        ::SetWindowPos(GetHandle(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    bool OnSizing(UINT edge, RECT* rect) override {
        sizingEdges.push_back(edge);
        return CResizableSkinWindow::OnSizing(edge, rect);
    }
    void OnExitSizeMove() override {
        ++exits;
        CResizableSkinWindow::OnExitSizeMove();
    }

    ui::SkinDefinition definition;
    std::vector<UINT> sizingEdges;
    int exits = 0;
};

class ResizableSkinWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        skintest::EnsureFramework();
        skintest::TakeReportedErrors();
    }
    void TearDown() override { EXPECT_EQ(std::vector<std::string>(), skintest::TakeReportedErrors()); }
};

// --- Zones --------------------------------------------------------------

TEST(ResizableZones, TheZoneTableSplitsBordersGripsAndTheCaptionBand) {
    // 100 x 80, border 4 (grip 16), caption 20: rows end at 4, 16, 36, 64, 76, 80.
    const struct {
        int x, y, border;
        ui::ResizeZone zone;
    } cases[] = {
        {0, 0, 4, ui::kZoneTopLeft},       {10, 2, 4, ui::kZoneTopLeft},     {50, 2, 4, ui::kZoneTop},
        {90, 2, 4, ui::kZoneTopRight},     {99, 3, 4, ui::kZoneTopRight},    {2, 8, 4, ui::kZoneTopLeft},
        {50, 8, 4, ui::kZoneCaption},      {90, 15, 4, ui::kZoneTopRight},   {2, 20, 4, ui::kZoneLeft},
        {10, 20, 4, ui::kZoneClient},      {50, 35, 4, ui::kZoneClient},     {99, 20, 4, ui::kZoneRight},
        {2, 50, 4, ui::kZoneLeft},         {97, 63, 4, ui::kZoneRight},      {2, 64, 4, ui::kZoneBottomLeft},
        {50, 70, 4, ui::kZoneClient},      {90, 70, 4, ui::kZoneBottomRight}, {50, 77, 4, ui::kZoneBottom},
        {15, 79, 4, ui::kZoneBottomLeft},  {84, 76, 4, ui::kZoneBottomRight}, {-1, 10, 4, ui::kZoneNone},
        {100, 10, 4, ui::kZoneNone},       {50, 80, 4, ui::kZoneNone},       {18, 50, 20, ui::kZoneLeft},
        // Without a border there is no resize zone at all.
        {0, 0, 0, ui::kZoneClient},        {99, 79, 0, ui::kZoneClient},     {50, -1, 0, ui::kZoneNone},
    };
    for (const auto& check : cases) {
        EXPECT_EQ(check.zone, ui::ResizeZoneAt(check.x, check.y, 100, 80, check.border, 20))
            << check.x << "," << check.y << " border " << check.border;
    }
}

TEST(ResizableZones, DraggedEdgesStopAtTheMinimumSize) {
    const RECT start{100, 100, 220, 180};
    const struct {
        ui::ResizeZone zone;
        int dx, dy;
        RECT result;
    } cases[] = {
        {ui::kZoneLeft, 200, 0, {200, 100, 220, 180}},      {ui::kZoneLeft, -50, 30, {50, 100, 220, 180}},
        {ui::kZoneTop, 30, 500, {100, 160, 220, 180}},      {ui::kZoneBottomRight, -500, -500, {100, 100, 120, 120}},
        {ui::kZoneTopRight, 10, -10, {100, 90, 230, 180}},  {ui::kZoneBottomLeft, 7, 9, {107, 100, 220, 189}},
    };
    for (const auto& check : cases) {
        const ui::ResizeLimits limits = ui::ResizeLimitsFor(check.zone, start, 20, 20);
        EXPECT_EQ(Text(check.result), Text(ui::ResizedRect(check.zone, start, check.dx, check.dy, limits)))
            << "zone " << check.zone;
    }
}

TEST_F(ResizableSkinWindowTest, BorderZonesAreTheWindowsOwnAndTheRestFollowsTheCaptionRule) {
    const struct {
        const char* section;
        POINT client;
        LRESULT hit;
    } cases[] = {
        {"ResizableBase", {2, 50}, HTCLIENT},  {"ResizableBase", {50, 8}, HTCAPTION},
        {"ResizableBase", {50, 18}, HTCAPTION}, {"ResizableBase", {50, 50}, HTCLIENT},
        {"FlatBase", {0, 0}, HTCAPTION},        {"FlatBase", {99, 19}, HTCAPTION},
        {"FlatBase", {0, 50}, HTCLIENT},
    };
    for (const auto& check : cases) {
        SCOPED_TRACE(std::string(check.section) + " " + std::to_string(check.client.x) + "," +
                     std::to_string(check.client.y));
        TestResizableWindow window(check.section);
        window.Make();
        const RECT frame = window.GetWindowRect();
        EXPECT_EQ(check.hit, window.Send(WM_NCHITTEST, 0, PointParam(frame.left + check.client.x,
                                                                     frame.top + check.client.y)));
        // No resize starts where there is no zone.
        window.Send(WM_LBUTTONDOWN, MK_LBUTTON, PointParam(check.client.x, check.client.y));
        EXPECT_EQ(check.section == std::string("ResizableBase") && check.client.x == 2, window.IsResizing());
        window.Send(WM_LBUTTONUP, 0, PointParam(check.client.x, check.client.y));
    }
}

TEST_F(ResizableSkinWindowTest, DraggingTheLeftEdgeRightStopsAtTheMinimumWidth) {
    TestResizableWindow window;
    window.Make(120, 80);
    const RECT start = window.GetWindowRect();
    const POINT grab{start.left + 2, start.top + 50};
    window.SendAtScreen(WM_LBUTTONDOWN, grab);
    ASSERT_TRUE(window.IsResizing());
    window.SendAtScreen(WM_MOUSEMOVE, POINT{grab.x + 30, grab.y});
    EXPECT_EQ(Text({start.left + 30, start.top, start.right, start.bottom}), Text(window.GetWindowRect()));
    window.SendAtScreen(WM_MOUSEMOVE, POINT{grab.x + 500, grab.y + 40});
    window.SendAtScreen(WM_LBUTTONUP, POINT{grab.x + 500, grab.y + 40});
    EXPECT_EQ(Text({start.right - 20, start.top, start.right, start.bottom}), Text(window.GetWindowRect()));
    EXPECT_FALSE(window.IsResizing());
    EXPECT_EQ(1, window.exits);
    EXPECT_EQ(std::vector<UINT>(3, WMSZ_LEFT), window.sizingEdges);
    EXPECT_EQ(20, window.GetBackBuffer().Width());
}

TEST_F(ResizableSkinWindowTest, TheMinimumSizeComesFromTheFixedCornersUnlessMinSizeGivesIt) {
    const struct {
        const char* section;
        SIZE minimum;
    } cases[] = {{"ResizableBase", {20, 20}}, {"MinSizeBase", {50, 20}}};
    for (const auto& check : cases) {
        TestResizableWindow window(check.section);
        EXPECT_EQ(check.minimum.cx, window.GetMinimumSize().cx) << check.section;
        EXPECT_EQ(check.minimum.cy, window.GetMinimumSize().cy) << check.section;
        EXPECT_EQ(Text({0, 0, 100, 80}), Text(window.GetLayoutRect()));
    }
}

TEST_F(ResizableSkinWindowTest, TheBackgroundIsANineGridAtEverySize) {
    TestResizableWindow window;
    window.Make();
    for (const SIZE size : {SIZE{20, 20}, SIZE{30, 30}, SIZE{57, 41}, SIZE{100, 80}}) {
        SCOPED_TRACE(std::to_string(size.cx) + "x" + std::to_string(size.cy));
        window.Resize(size.cx, size.cy);
        const lib::wfc::CDIB& buffer = window.GetBackBuffer();
        const int right = size.cx - 1, bottom = size.cy - 1;
        EXPECT_EQ(Cell(0, 0), PixelAt(buffer, 0, 0));
        EXPECT_EQ(Cell(0, 0), PixelAt(buffer, 9, 9));
        EXPECT_EQ(Cell(0, 2), PixelAt(buffer, right, 0));
        EXPECT_EQ(Cell(2, 0), PixelAt(buffer, 0, bottom));
        EXPECT_EQ(Cell(2, 2), PixelAt(buffer, right, bottom));
        EXPECT_EQ(Cell(2, 2), PixelAt(buffer, right - 9, bottom - 9));
        if (size.cx > 20) {
            EXPECT_EQ(Cell(1, 1), PixelAt(buffer, size.cx / 2, size.cy / 2));
            EXPECT_EQ(Cell(0, 1), PixelAt(buffer, 10, 0));
            EXPECT_EQ(Cell(1, 2), PixelAt(buffer, right, 10));
        }
    }
}

TEST_F(ResizableSkinWindowTest, SizingIsHeldToTheLargestTrackingSize) {
    TestResizableWindow window;
    window.Make();
    const int maxWidth = ::GetSystemMetrics(SM_CXMAXTRACK), maxHeight = ::GetSystemMetrics(SM_CYMAXTRACK);
    const struct {
        UINT edge;
        RECT expected;
    } cases[] = {
        {WMSZ_LEFT, {100000 - maxWidth, 0, 100000, 50}},
        {WMSZ_BOTTOMRIGHT, {0, 0, maxWidth, maxHeight}},
        {WMSZ_TOPLEFT, {100000 - maxWidth, 100000 - maxHeight, 100000, 100000}},
    };
    for (const auto& check : cases) {
        RECT rect{0, 0, 100000, check.edge == WMSZ_LEFT ? 50 : 100000};
        EXPECT_EQ(TRUE, window.Send(WM_SIZING, check.edge, reinterpret_cast<LPARAM>(&rect)));
        EXPECT_EQ(Text(check.expected), Text(rect)) << "edge " << check.edge;
    }
}

TEST_F(ResizableSkinWindowTest, AMaximizedWindowDoesNotResize) {
    TestResizableWindow window;
    window.Make();
    ::SetWindowLongA(window.GetHandle(), GWL_STYLE, ::GetWindowLongA(window.GetHandle(), GWL_STYLE) | WS_MAXIMIZE);
    window.Send(WM_LBUTTONDOWN, MK_LBUTTON, PointParam(2, 50));
    EXPECT_FALSE(window.IsResizing());
    window.Send(WM_LBUTTONUP, 0, PointParam(2, 50));
}

TEST_F(ResizableSkinWindowTest, ItemsFollowTheirLayoutRulesWhenTheWindowResizes) {
    TestResizableWindow window;
    window.Probe(3, {70, 10, 90, 30});
    window.Probe(4, {40, 60, 60, 70});
    window.SetLayoutRule(3, ui::kAnchorFar, ui::kAnchorNear, ui::kAnchorFar, ui::kAnchorNear);
    window.SetLayoutRule(4, ui::kAnchorCentre, ui::kAnchorKeep, ui::kAnchorCentre, ui::kAnchorKeep);
    window.SetLayoutRule(99, 1, 1, 1, 1);  // no such item: no rule
    EXPECT_EQ(2u, window.LayoutRules().size());
    window.Make();
    window.Resize(160, 80);
    EXPECT_EQ(Text({130, 10, 150, 30}), Text(window.FindItem(3)->GetRect()));
    EXPECT_EQ(Text({70, 60, 90, 70}), Text(window.FindItem(4)->GetRect()));
    EXPECT_EQ(kRed, PixelAt(window.GetBackBuffer(), 135, 15));
    window.RemoveAllItems();
    EXPECT_TRUE(window.LayoutRules().empty());
}

// --- Layout arithmetic ----------------------------------------------------

class LayoutOf : public ui::CLayoutManager {
public:
    LayoutOf() : owner(10, 10), item(owner, 1, {70, 10, 90, 30}, kRed, nullptr) { SetLayoutSize(SIZE{100, 80}); }
    ui::CSkinWindowItem* FindLayoutItem(int id) override { return id == 1 ? &item : nullptr; }
    SIZE GetLayoutBaseSize() override { return LayoutSize(); }

    skintest::ItemTestOwner owner;
    ProbeItem item;
};

TEST(ResizableLayout, AnchorsKeepEdgesAtDistancesFromTheEdgesOrTheCentre) {
    const struct {
        int left, top, right, bottom, cx, cy;
        RECT result;
    } cases[] = {
        {2, 1, 2, 1, 160, 120, {130, 10, 150, 30}},  // fixed distance from the right
        {3, 0, 3, 0, 160, 120, {100, 10, 120, 30}},  // centred horizontally
        {3, 3, 3, 3, 60, 41, {50, -9, 70, 11}},      // centred, shrinking (-39 / 2 = -19)
        {1, 1, 2, 2, 160, 120, {70, 10, 150, 70}},   // stretched with the window
        {0, 0, 0, 0, 160, 120, {70, 10, 90, 30}},    // kept
        {7, 1, 1, 1, 160, 120, {70, 10, 90, 30}},    // an unknown anchor keeps the edge
        {3, 3, 3, 3, 101, 81, {70, 10, 90, 30}},     // half a pixel is no move
    };
    const RECT original{70, 10, 90, 30};
    for (const auto& check : cases) {
        LayoutOf layout;
        layout.SetLayoutRule(1, check.left, check.top, check.right, check.bottom);
        layout.SetLayoutRule(1, check.left, check.top, check.right, check.bottom);  // replaces
        ASSERT_EQ(1u, layout.LayoutRules().size());
        layout.Relayout(check.cx, check.cy);
        const std::string what = std::to_string(check.left) + std::to_string(check.top) + std::to_string(check.right) +
                                 std::to_string(check.bottom) + " at " + std::to_string(check.cx);
        EXPECT_EQ(Text(check.result), Text(layout.item.GetRect())) << what;
        EXPECT_EQ(::EqualRect(&check.result, &original) ? 0 : 1, layout.item.moves) << what;
    }
}

// --- Frame overlay and end-session waiting ---------------------------------

constexpr UINT kOverlayMessage = WM_APP + 1;
constexpr WORD kOverlayId = 900;
const ui::FrameOverlayDefinition kOverlay{"FrameOverlay", kOverlayId};

class OverlayWindow : public ui::CFrameOverlayWindowBase<ui::CEndSessionWaitingWindow<ui::CResizableSkinWindow>> {
public:
    explicit OverlayWindow(bool withOverlay) : CFrameOverlayWindowBase(kOverlay) {
        LoadSkinFile(definition, "TestWindow.txt", "ResizableBase", true);
        if (withOverlay) CreateFrameOverlay(definition);
    }
    ~OverlayWindow() override {
        if (::IsWindow(GetHandle())) ::DestroyWindow(GetHandle());
    }
    void Make(bool visible = true) {
        Create(0, nullptr, "overlay test", WS_POPUP, 300, 200, 100, 80, nullptr, nullptr);
        if (visible) ShowWindow(SW_SHOWNOACTIVATE);
        skintest::PumpPending();  // the self-posted request that hides the overlay
    }
    LRESULT Send(WPARAM request, LPARAM show) { return ::SendMessageA(GetHandle(), kOverlayMessage, request, show); }
    bool OverlayShown() {
        ui::CSkinWindowItem* overlay = FindItem(kOverlayId);
        return overlay && overlay->IsVisible();
    }

    UINT GetFrameOverlayMessage() override { return kOverlayMessage; }
    bool AcceptsOverlayRequest() override { return accepts; }

    ui::SkinDefinition definition;
    bool accepts = true;
};

class FrameOverlayTest : public ResizableSkinWindowTest {};

TEST_F(FrameOverlayTest, TheOverlayStartsHiddenOverTheWholeWindowAndTheWindowIsListed) {
    OverlayWindow window(true);
    window.Make();
    ASSERT_NE(nullptr, window.FindItem(kOverlayId));
    EXPECT_FALSE(window.OverlayShown());
    EXPECT_EQ(Text({0, 0, 100, 80}), Text(window.FindItem(kOverlayId)->GetRect()));
    EXPECT_EQ(kOverlayMessage, ui::FrameOverlayWindowBase::FindOverlayMessage(window.GetHandle()).value_or(0));
    ::SetWindowPos(window.GetHandle(), nullptr, 0, 0, 160, 120, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(Text({0, 0, 160, 120}), Text(window.FindItem(kOverlayId)->GetRect()));

    const HWND handle = window.GetHandle();
    ::DestroyWindow(handle);
    EXPECT_FALSE(ui::FrameOverlayWindowBase::FindOverlayMessage(handle).has_value());
}

TEST_F(FrameOverlayTest, OverlayRequestsShowAndHideItUnlessTheWindowRefusesToShow) {
    OverlayWindow window(true);
    window.Make();
    const struct {
        bool accepts;
        LPARAM show;
        bool shown;
    } steps[] = {{true, 1, true}, {true, 0, false}, {false, 1, false}, {true, 1, true}, {false, 0, false}};
    for (const auto& step : steps) {
        window.accepts = step.accepts;
        window.Send(0, step.show);
        EXPECT_EQ(step.shown, window.OverlayShown()) << "accepts " << step.accepts << " show " << step.show;
    }
    window.Send(7, 1);  // not a request
    EXPECT_FALSE(window.OverlayShown());
}

TEST_F(FrameOverlayTest, AWindowHiddenOnRequestComesBackAndOnlyThatOne) {
    const struct {
        bool visible;
        std::vector<WPARAM> requests;
        bool visibleAfter;
    } cases[] = {
        {true, {1}, false}, {true, {1, 2}, true}, {true, {2}, true}, {false, {2}, false}, {false, {1, 2}, false},
    };
    for (const auto& check : cases) {
        OverlayWindow window(true);
        window.Make(check.visible);
        for (const WPARAM request : check.requests) window.Send(request, 0);
        EXPECT_EQ(check.visibleAfter, ::IsWindowVisible(window.GetHandle()) != FALSE)
            << "visible " << check.visible << ", " << check.requests.size() << " requests";
        EXPECT_NE(window.GetHandle(), ::GetActiveWindow());  // shown again without activation
    }
}

TEST_F(FrameOverlayTest, AWindowWithoutOverlayIgnoresOverlayRequestsAndIsNotListed) {
    OverlayWindow window(false);
    auto item = std::make_unique<ProbeItem>(window, kOverlayId, RECT{0, 0, 10, 10}, kRed, nullptr);
    item->SetVisible(false);
    window.AddItem(std::move(item));
    window.Make();
    window.Send(0, 1);
    EXPECT_FALSE(window.OverlayShown());
    EXPECT_FALSE(ui::FrameOverlayWindowBase::FindOverlayMessage(window.GetHandle()).has_value());
}

HWND windowToClose = nullptr;

void CALLBACK CloseLater(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    if (::IsWindow(windowToClose)) ::DestroyWindow(windowToClose);
}

TEST_F(FrameOverlayTest, EndSessionWaitsForTheWindowOnlyWhenTheSessionEnds) {
    OverlayWindow window(false);
    window.Make();
    DWORD start = ::GetTickCount();
    EXPECT_EQ(0, ::SendMessageA(window.GetHandle(), WM_ENDSESSION, FALSE, 0));
    EXPECT_TRUE(::IsWindow(window.GetHandle()));
    EXPECT_LT(::GetTickCount() - start, 1000u);

    // Ending: the call returns once a timer has destroyed the window, and a
    // quit taken meanwhile stays pending. Should the wait starve the timer,
    // a close posted from another thread still ends it.
    windowToClose = window.GetHandle();
    const lib::KernelHandle done(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    std::thread guard([handle = window.GetHandle(), event = done.get()] {
        if (::WaitForSingleObject(event, 3000) == WAIT_TIMEOUT) ::PostMessageA(handle, WM_CLOSE, 0, 0);
    });
    const UINT_PTR close = ::SetTimer(nullptr, 0, 300, &CloseLater);
    ::PostQuitMessage(5);
    start = ::GetTickCount();
    ::SendMessageA(window.GetHandle(), WM_ENDSESSION, TRUE, 0);
    const DWORD waited = ::GetTickCount() - start;
    ::SetEvent(done.get());
    guard.join();
    ::KillTimer(nullptr, close);
    EXPECT_FALSE(::IsWindow(windowToClose));
    EXPECT_GE(waited, 250u);
    EXPECT_LT(waited, 2500u);
    MSG quit;
    ASSERT_TRUE(::PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(5u, quit.wParam);
    EXPECT_FALSE(::PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

}  // namespace
