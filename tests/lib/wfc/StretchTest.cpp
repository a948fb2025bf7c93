// Stretched and rotated copies: source index walks, rotation, both modes and
// the pixels that are left alone.
#include <gtest/gtest.h>

#include "lib/wfc/DIBStretch.h"
#include "tests/lib/wfc/DrawingTestSupport.h"

namespace {

using lib::wfc::CDIB;
using lib::wfc::StretchDIB;
using lib::wfc::StretchMode;
using test::PixelAt;

TEST(Stretch, NearestSpreadsSourceIndicesAndTurnsClockwise) {
    CDIB source, dest;
    test::CreatePattern(source, 5, 3, 1);
    dest.Create(nullptr, 10, 6, 24);
    StretchDIB(dest, 0, 0, 10, 6, source, 0, 0, 5, 3, 0, nullptr, StretchMode::kNearest);
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 10; ++x) ASSERT_EQ(PixelAt(source, x / 2, y / 2), PixelAt(dest, x, y)) << x << "," << y;
    }
    // 5 columns over 3: floor(k * 5 / 3) = 0, 1, 3.
    StretchDIB(dest, 1, 1, 3, 1, source, 0, 2, 5, 1, 0, nullptr, StretchMode::kNearest);
    EXPECT_EQ(PixelAt(source, 0, 2), PixelAt(dest, 1, 1));
    EXPECT_EQ(PixelAt(source, 1, 2), PixelAt(dest, 2, 1));
    EXPECT_EQ(PixelAt(source, 3, 2), PixelAt(dest, 3, 1));

    test::CreatePattern(source, 3, 2, 7);
    struct Case {
        int rotation, width, height;
        POINT (*from)(int x, int y);  // source pixel of destination (x, y)
    };
    const Case cases[] = {
        {90, 2, 3, [](int x, int y) { return POINT{y, 1 - x}; }},
        {180, 3, 2, [](int x, int y) { return POINT{2 - x, 1 - y}; }},
        {270, 2, 3, [](int x, int y) { return POINT{2 - y, x}; }},
    };
    for (const Case& c : cases) {
        dest.Create(nullptr, c.width, c.height, 24);
        StretchDIB(dest, 0, 0, c.width, c.height, source, 0, 0, 3, 2, c.rotation, nullptr, StretchMode::kNearest);
        for (int y = 0; y < c.height; ++y) {
            for (int x = 0; x < c.width; ++x) {
                const POINT p = c.from(x, y);
                EXPECT_EQ(PixelAt(source, p.x, p.y), PixelAt(dest, x, y)) << c.rotation << ": " << x << "," << y;
            }
        }
    }
}

TEST(Stretch, AverageModeTakesTheRightAndLowerNeighboursClampedToTheSource) {
    CDIB source, dest;
    source.Create(nullptr, 2, 2, 24);
    test::SetPixelAt(source, 0, 0, RGB(0, 10, 100));
    test::SetPixelAt(source, 1, 0, RGB(4, 20, 201));
    test::SetPixelAt(source, 0, 1, RGB(8, 30, 102));
    test::SetPixelAt(source, 1, 1, RGB(13, 41, 255));
    const COLORREF all = RGB(25 >> 2, 101 >> 2, 658 >> 2);
    const COLORREF right = RGB(34 >> 2, 122 >> 2, 912 >> 2);    // (1, 0) twice, (1, 1) twice
    const COLORREF bottom = RGB(42 >> 2, 142 >> 2, 714 >> 2);   // (0, 1), (1, 1), each twice
    dest.Create(nullptr, 2, 2, 24);
    dest.StretchBlit(0, 0, 2, 2, source, 0, 0, 2, 2, 0, nullptr);
    EXPECT_EQ(all, PixelAt(dest, 0, 0));
    EXPECT_EQ(right, PixelAt(dest, 1, 0));
    EXPECT_EQ(bottom, PixelAt(dest, 0, 1));
    EXPECT_EQ(RGB(13, 41, 255), PixelAt(dest, 1, 1));
    // Turned, the neighbours are still the source's right and lower ones.
    dest.StretchBlit(0, 0, 2, 2, source, 0, 0, 2, 2, 90, nullptr);
    EXPECT_EQ(bottom, PixelAt(dest, 0, 0));
    EXPECT_EQ(all, PixelAt(dest, 1, 0));
}

TEST(Stretch, PixelsOutsideTheSourceOrTheClipAreLeftAlone) {
    CDIB source, dest, untouched;
    test::CreatePattern(source, 4, 4, 3);
    test::CreatePattern(dest, 8, 8, 50);
    test::CreatePattern(untouched, 8, 8, 50);
    // Source rectangle half outside the source: only the left half is drawn.
    StretchDIB(dest, 0, 0, 4, 4, source, 2, 0, 4, 4, 0, nullptr, StretchMode::kNearest);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(x < 2 ? PixelAt(source, 2 + x, y) : PixelAt(untouched, x, y), PixelAt(dest, x, y));
        }
    }
    // A given clip wins over the clip rectangle; both stop at the bitmap.
    test::CreatePattern(dest, 8, 8, 50);
    dest.SetClipRect({0, 0, 1, 1});
    const RECT clip = {6, 6, 100, 100};
    dest.StretchBlit(-20, -20, 40, 40, source, 0, 0, 4, 4, 0, &clip);
    EXPECT_EQ(RECT({6, 6, 8, 8}), test::ChangedArea(untouched, dest));
    // Other angles and empty sizes draw nothing.
    test::CreatePattern(dest, 8, 8, 50);
    StretchDIB(dest, 0, 0, 8, 8, source, 0, 0, 4, 4, 45, nullptr, StretchMode::kNearest);
    StretchDIB(dest, 0, 0, 8, 8, source, 0, 0, 0, 4, 0, nullptr, StretchMode::kNearest);
    EXPECT_TRUE(test::SamePixels(untouched, dest));
}

}  // namespace
