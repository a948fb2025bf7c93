// The anti-aliased text renderer: accepted formats, measuring, line layout,
// alignment, clipping and the coverage blend, pixel for pixel.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "lib/wfc/GlyphLayout.h"
#include "lib/wfc/GlyphText.h"
#include "tests/lib/wfc/DrawingTestSupport.h"

namespace {

using lib::wfc::DrawGlyphText;
using test::InkBounds;
using test::TextCanvas;

constexpr COLORREF kWhite = RGB(255, 255, 255);

bool Draw(TextCanvas& canvas, const char* text, RECT rect, UINT format, const RECT* clip = nullptr) {
    return DrawGlyphText(canvas.dc(), &canvas.dib().Header(), canvas.dib().Bits(), text, &rect, format, clip);
}

// DT_CALCRECT's rectangle, the same from both functions.
RECT Measured(TextCanvas& canvas, const char* text, RECT rect, UINT format) {
    RECT drawn = rect;
    EXPECT_TRUE(DrawGlyphText(canvas.dc(), &canvas.dib().Header(), canvas.dib().Bits(), text, &drawn,
                              format | DT_CALCRECT, nullptr));
    EXPECT_TRUE(lib::wfc::MeasureGlyphText(canvas.dc(), text, &rect, format));
    EXPECT_EQ(drawn, rect);
    return rect;
}

int Advance(HDC dc, UINT glyph) {
    GLYPHMETRICS metrics{};
    ::GetGlyphOutlineA(dc, glyph, GGO_METRICS, &metrics, 0, nullptr, &lib::wfc::IdentityMatrix());
    return metrics.gmCellIncX;
}

TEST(GlyphText, RejectsFormatsArgumentsAndBitmapsItCannotDraw) {
    TextCanvas canvas(40, 20, 12);
    for (UINT format : {UINT(DT_CENTER | DT_RIGHT), UINT(DT_VCENTER | DT_BOTTOM), UINT(DT_WORDBREAK),
                        UINT(DT_NOPREFIX), UINT(DT_CALCRECT | DT_CENTER | DT_RIGHT)}) {
        EXPECT_FALSE(Draw(canvas, "A", {0, 0, 40, 20}, format)) << format;
    }
    RECT r = {0, 0, 40, 20};
    BITMAPINFOHEADER topDown = canvas.dib().Header(), deep = topDown;
    topDown.biHeight = -topDown.biHeight;
    deep.biBitCount = 32;
    BYTE* bits = canvas.dib().Bits();
    for (const BITMAPINFOHEADER* header : {&topDown, &deep, static_cast<BITMAPINFOHEADER*>(nullptr)}) {
        EXPECT_FALSE(DrawGlyphText(canvas.dc(), header, bits, "A", &r, 0, nullptr));
    }
    EXPECT_FALSE(DrawGlyphText(nullptr, &canvas.dib().Header(), bits, "A", &r, 0, nullptr));
    EXPECT_FALSE(DrawGlyphText(canvas.dc(), &canvas.dib().Header(), bits, "A", nullptr, 0, nullptr));
    EXPECT_FALSE(DrawGlyphText(canvas.dc(), &canvas.dib().Header(), bits, nullptr, &r, 0, nullptr));
    EXPECT_EQ(RECT{}, InkBounds(canvas.dib(), kWhite));
}

TEST(GlyphText, CoverageIsBlendedAtTheGlyphOriginBelowTheAscent) {
    TextCanvas canvas(60, 50, 24);
    ::SetTextColor(canvas.dc(), RGB(0, 40, 200));
    ASSERT_TRUE(Draw(canvas, "g", {7, 5, 60, 50}, 0));

    GLYPHMETRICS metrics{};
    std::vector<BYTE> coverage(4096);
    ASSERT_NE(GDI_ERROR, ::GetGlyphOutlineA(canvas.dc(), 'g', GGO_GRAY8_BITMAP, &metrics, 4096, coverage.data(),
                                            &lib::wfc::IdentityMatrix()));
    const int pitch = (metrics.gmBlackBoxX + 3) & ~3;
    const int left = 7 + metrics.gmptGlyphOrigin.x;
    const int top = 5 + canvas.Metrics().tmAscent - metrics.gmptGlyphOrigin.y;
    int full = 0;
    for (int y = 0; y < 50; ++y) {
        for (int x = 0; x < 60; ++x) {
            const int column = x - left, row = y - top;
            const bool inBox = column >= 0 && column < static_cast<int>(metrics.gmBlackBoxX) && row >= 0 &&
                               row < static_cast<int>(metrics.gmBlackBoxY);
            const int c = inBox ? coverage[row * pitch + column] : 0;
            const int alpha = c * 255 >> 6;
            auto channel = [&](int d, int s) { return d + (((s - d) * (alpha + 1)) >> 8); };
            const COLORREF expected = c ? RGB(channel(255, 0), channel(255, 40), channel(255, 200)) : kWhite;
            ASSERT_EQ(expected, test::PixelAt(canvas.dib(), x, y)) << x << "," << y << " coverage " << c;
            full += c == 64;
        }
    }
    EXPECT_GT(full, 10);
}

TEST(GlyphText, DoubleByteCharactersAreOneGlyphEach) {
    TextCanvas canvas(200, 40, 16);
    const char* text = "日本語";
    ASSERT_EQ(6u, std::strlen(text));
    int width = 0;
    for (int i = 0; i < 6; i += 2) {
        width += Advance(canvas.dc(), static_cast<BYTE>(text[i]) << 8 | static_cast<BYTE>(text[i + 1]));
    }
    EXPECT_GE(width, 3 * 12);
    EXPECT_EQ((RECT{3, 4, 3 + width, 4 + canvas.Metrics().tmHeight}), Measured(canvas, text, {3, 4, 200, 40}, 0));
    ASSERT_TRUE(Draw(canvas, text, {3, 4, 200, 40}, 0));
    const RECT ink = InkBounds(canvas.dib(), kWhite);
    EXPECT_TRUE(ink.left >= 3 && ink.right <= 3 + width && ink.right - ink.left > width * 3 / 4);
}

TEST(GlyphText, LineFeedsBreakLinesUnlessSingleLineAndCalcRectFollowsAlignment) {
    TextCanvas canvas(200, 80, 16);
    const TEXTMETRICA tm = canvas.Metrics();
    const int h = tm.tmHeight, a = Advance(canvas.dc(), 'A'), b = Advance(canvas.dc(), 'B');
    EXPECT_EQ((RECT{0, 0, std::max(a, b), 2 * h}), Measured(canvas, "A\r\nB", {0, 0, 200, 80}, 0));
    const int crlf = Advance(canvas.dc(), '\r') + Advance(canvas.dc(), '\n');
    EXPECT_EQ((RECT{0, 0, a + crlf + b, h}), Measured(canvas, "A\r\nB", {0, 0, 200, 80}, DT_SINGLELINE));
    EXPECT_EQ((RECT{0, 0, a, 2 * (h + tm.tmExternalLeading)}),
              Measured(canvas, "A\n", {0, 0, 200, 80}, DT_EXTERNALLEADING));
    EXPECT_EQ((RECT{10, 5, 10 + a, 5 + (50 - h) / 2 + h}),
              Measured(canvas, "A", {10, 5, 100, 55}, DT_SINGLELINE | DT_VCENTER));
    EXPECT_EQ((RECT{10, 5, 10 + a, 55}), Measured(canvas, "A", {10, 5, 100, 55}, DT_SINGLELINE | DT_BOTTOM));
    EXPECT_EQ((RECT{10, 5, 10 + a, 5 + h}), Measured(canvas, "A", {10, 5, 100, 8}, DT_SINGLELINE | DT_BOTTOM));
    EXPECT_EQ((RECT{10, 5, 10 + a, 5 + h}), Measured(canvas, "A", {10, 5, 100, 55}, DT_VCENTER));
    EXPECT_EQ(RECT{}, InkBounds(canvas.dib(), kWhite));

    ASSERT_TRUE(Draw(canvas, "A\r\nB", {0, 0, 200, 80}, 0));
    const RECT twoLines = InkBounds(canvas.dib(), kWhite);
    EXPECT_GT(twoLines.bottom, h);
    EXPECT_LT(twoLines.right, a + b);
    canvas.Clear();
    ASSERT_TRUE(Draw(canvas, "A\r\nB", {0, 0, 200, 80}, DT_SINGLELINE));
    EXPECT_LE(InkBounds(canvas.dib(), kWhite).bottom, h);
}

TEST(GlyphText, AlignmentsShiftTheLineByTheFreeSpace) {
    const RECT rect = {5, 3, 125, 60};
    TextCanvas reference(140, 64, 16), moved(140, 64, 16);
    const int width = Measured(reference, "Ayg", rect, 0).right - rect.left;
    const int height = reference.Metrics().tmHeight;
    ASSERT_TRUE(Draw(reference, "Ayg", rect, 0));
    const struct {
        UINT format;
        int dx, dy;
    } cases[] = {
        {DT_CENTER, (120 - width) / 2, 0},
        {DT_RIGHT, 120 - width, 0},
        {DT_SINGLELINE | DT_VCENTER, 0, (57 - height) / 2},
        {DT_SINGLELINE | DT_BOTTOM | DT_RIGHT, 120 - width, 57 - height},
        {DT_BOTTOM, 0, 0},  // vertical alignment needs a single line
    };
    for (const auto& c : cases) {
        moved.Clear();
        ASSERT_TRUE(Draw(moved, "Ayg", rect, c.format));
        for (int y = 0; y < 64; ++y) {
            for (int x = 0; x < 140; ++x) {
                const int fx = x - c.dx, fy = y - c.dy;
                const bool inside = fx >= 0 && fx < 140 && fy >= 0 && fy < 64;
                const COLORREF expected = inside ? test::PixelAt(reference.dib(), fx, fy) : kWhite;
                ASSERT_EQ(expected, test::PixelAt(moved.dib(), x, y)) << c.format << ": " << x << "," << y;
            }
        }
    }
}

TEST(GlyphText, DrawingStaysInsideRectClipAndBitmapUnlessNoClip) {
    TextCanvas canvas(80, 40, 28);
    const RECT narrow = {10, 2, 20, 38};
    ASSERT_TRUE(Draw(canvas, "WWW", narrow, 0));
    const RECT clipped = InkBounds(canvas.dib(), kWhite);
    EXPECT_TRUE(clipped.left >= 10 && clipped.right <= 20);
    canvas.Clear();
    ASSERT_TRUE(Draw(canvas, "WWW", narrow, DT_NOCLIP));
    EXPECT_GT(InkBounds(canvas.dib(), kWhite).right, 40);
    canvas.Clear();
    const RECT clip = {30, 0, 45, 12};
    ASSERT_TRUE(Draw(canvas, "WWW", narrow, DT_NOCLIP, &clip));
    const RECT inClip = InkBounds(canvas.dib(), kWhite);
    EXPECT_TRUE(inClip.left >= 30 && inClip.right <= 45 && inClip.bottom <= 12);
    // Mostly outside the bitmap on every side, and a glyph larger than the first 1024-byte buffer.
    canvas.Clear();
    ASSERT_TRUE(Draw(canvas, "WWWWWW", {-30, -15, 200, 100}, 0));
    ASSERT_TRUE(Draw(canvas, "WWWWWW", {50, 30, 200, 100}, 0));
    TextCanvas large(220, 220, 180);
    ASSERT_TRUE(Draw(large, "M", {0, 0, 220, 220}, 0));
    const RECT ink = InkBounds(large.dib(), kWhite);
    EXPECT_TRUE(ink.bottom - ink.top > 100 && ink.right - ink.left > 100);
}

}  // namespace
