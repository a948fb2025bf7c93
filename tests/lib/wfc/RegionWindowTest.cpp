// Window shapes from colour-keyed bitmaps, read back with GetRegionData.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <array>
#include <tuple>
#include <vector>

#include "lib/Exception.h"
#include "lib/UniqueHandle.h"
#include "lib/wfc/RegionWindow.h"

namespace {

using lib::RegionHandle;
using lib::wfc::CDIB;
using lib::wfc::CRegionWindow;

constexpr COLORREF kMagenta = RGB(255, 0, 255);

void Paint(const CDIB& dib, int x, int y, COLORREF color) {
    BYTE* pixel = dib.Row(y) + 3 * x;
    pixel[0] = GetBValue(color);
    pixel[1] = GetGValue(color);
    pixel[2] = GetRValue(color);
}

// The region's rectangles as {left, top, right, bottom}, ordered by top, then left.
using Rects = std::vector<std::array<LONG, 4>>;

Rects Rectangles(HRGN region) {
    std::vector<BYTE> buffer(::GetRegionData(region, 0, nullptr));
    auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
    if (buffer.empty() || ::GetRegionData(region, static_cast<DWORD>(buffer.size()), data) == 0) return {};
    Rects rects;
    const auto* rect = reinterpret_cast<const RECT*>(data->Buffer);
    for (DWORD i = 0; i < data->rdh.nCount; ++i) {
        rects.push_back({rect[i].left, rect[i].top, rect[i].right, rect[i].bottom});
    }
    std::sort(rects.begin(), rects.end(),
              [](const auto& a, const auto& b) { return std::tie(a[1], a[0]) < std::tie(b[1], b[0]); });
    return rects;
}

RegionHandle RegionOf(const CDIB& dib, const RECT& area, COLORREF key = kMagenta) {
    return CRegionWindow::CreateRegionFromDIB(dib, area.left, area.top, area.right, area.bottom, key);
}

TEST(CreateRegionFromDIB, EachRunOfUnkeyedPixelsIsARectangleInEitherRowOrder) {
    for (const int height : {4, -4}) {
        SCOPED_TRACE(height > 0 ? "bottom-up" : "top-down");
        CDIB dib;
        dib.Create(nullptr, 6, height);
        dib.Fill(kMagenta);
        Paint(dib, 1, 0, RGB(200, 0, 0));
        Paint(dib, 2, 0, RGB(254, 0, 255));  // near the key is not the key
        Paint(dib, 0, 1, RGB(0, 0, 0));
        Paint(dib, 5, 1, RGB(0, 0, 0));
        for (int x = 0; x < 6; ++x) Paint(dib, x, 3, RGB(1, 2, 3));

        EXPECT_EQ(Rects({{1, 0, 3, 1}, {0, 1, 1, 2}, {5, 1, 6, 2}, {0, 3, 6, 4}}),
                  Rectangles(RegionOf(dib, {0, 0, 6, 4}).get()));
        // A part of the bitmap, relative to its own corner.
        EXPECT_EQ(Rects({{4, 0, 5, 1}, {0, 2, 5, 3}}), Rectangles(RegionOf(dib, {1, 1, 6, 4}).get()));
    }
    // A key whose red and blue differ, against a pixel with the two swapped.
    CDIB dib;
    dib.Create(nullptr, 3, 1);
    dib.Fill(RGB(10, 20, 30));
    Paint(dib, 1, 0, RGB(30, 20, 10));
    EXPECT_EQ(Rects({{1, 0, 2, 1}}), Rectangles(RegionOf(dib, {0, 0, 3, 1}, RGB(10, 20, 30)).get()));
}

TEST(CreateRegionFromDIB, AnAllKeyAreaIsAnEmptyRegionAndAnAreaOutsideTheBitmapIsRejected) {
    CDIB dib;
    dib.Create(nullptr, 8, 5);
    dib.Fill(kMagenta);
    for (const RECT& area : {RECT{0, 0, 8, 5}, RECT{3, 2, 3, 5}}) {
        const RegionHandle region = RegionOf(dib, area);
        RECT box;
        ASSERT_TRUE(region);
        EXPECT_EQ(NULLREGION, ::GetRgnBox(region.get(), &box));
    }
    for (const RECT& area :
         {RECT{0, 0, 9, 5}, RECT{0, 0, 8, 6}, RECT{-1, 0, 8, 5}, RECT{0, -1, 8, 5}, RECT{4, 0, 3, 5}}) {
        EXPECT_THROW(RegionOf(dib, area), lib::IlligalArgumentException);
    }
    EXPECT_THROW(RegionOf(CDIB(), {0, 0, 0, 0}), lib::IlligalArgumentException);
}

TEST(RegionWindow, SetRegionShapesTheWindowWithACopyAndTheCallerKeepsItsRegion) {
    class ShapedWindow : public CRegionWindow {
    public:
        ~ShapedWindow() override { ::DestroyWindow(GetHandle()); }
    } window;
    window.Create(0, nullptr, "shaped", WS_POPUP, 100, 100, 200, 100, nullptr, nullptr);
    window.ShowWindow(SW_SHOWNOACTIVATE);
    const RegionHandle mine(::CreateRectRgn(10, 10, 50, 40)), probe(::CreateRectRgn(0, 0, 0, 0));
    ::ValidateRect(window.GetHandle(), nullptr);
    window.SetRegion(mine.get());
    RECT dirty{};
    EXPECT_TRUE(::GetUpdateRect(window.GetHandle(), &dirty, FALSE)) << "not repainted";

    // Changing the caller's region leaves the window's shape alone.
    ASSERT_NE(ERROR, ::OffsetRgn(mine.get(), 5, 5));
    ASSERT_EQ(SIMPLEREGION, ::GetWindowRgn(window.GetHandle(), probe.get()));
    EXPECT_EQ(Rects({{10, 10, 50, 40}}), Rectangles(probe.get()));

    // A second shape replaces the first.
    CDIB dib;
    dib.Create(nullptr, 200, 100);
    dib.Fill(kMagenta);
    Paint(dib, 7, 3, RGB(0, 0, 0));
    const RegionHandle shape = RegionOf(dib, {0, 0, 200, 100});
    window.SetRegion(shape.get());
    ::GetWindowRgn(window.GetHandle(), probe.get());
    EXPECT_EQ(Rects({{7, 3, 8, 4}}), Rectangles(probe.get()));
    EXPECT_EQ(Rects({{7, 3, 8, 4}}), Rectangles(shape.get()));
}

}  // namespace
