// CDIB: layout, and the copy, key and blend operations against a plain
// per-pixel model of the same clipping and arithmetic.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "lib/wfc/DIB.h"
#include "lib/wfc/bad_alloc.h"
#include "tests/lib/wfc/DrawingTestSupport.h"

namespace {

using lib::wfc::CDIB;
using test::PixelAt;

constexpr COLORREF kMagenta = RGB(255, 0, 255);

TEST(DIB, LayoutFillAttachAndRelease) {
    CDIB dib;
    dib.Create(nullptr, 5, 3, 24);
    const BITMAPINFOHEADER& h = dib.Header();
    EXPECT_TRUE(h.biSize == 40 && h.biWidth == 5 && h.biHeight == 3 && h.biPlanes == 1 && h.biBitCount == 24 &&
                h.biCompression == BI_RGB);
    EXPECT_EQ(16, dib.Stride());                   // 15 bytes padded to 4
    EXPECT_EQ(dib.Bits() + 2 * 16, dib.Row(0));    // bottom-up
    EXPECT_EQ((RECT{0, 0, 5, 3}), dib.ClipRect());
    dib.Fill(RGB(1, 2, 3));
    EXPECT_EQ(RGB(1, 2, 3), PixelAt(dib, 4, 0));
    dib.Create(nullptr, 4, -2, 24);
    EXPECT_EQ(dib.Bits(), dib.Row(0));  // top-down

    // Attaching a DIB section deletes the bitmap held before and reads the new layout.
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 7, 2, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP section = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HBITMAP before = dib.Handle();
    dib.Attach(section);
    EXPECT_EQ(0u, ::GetObjectType(before));
    EXPECT_EQ(bits, dib.Bits());
    EXPECT_EQ(24, dib.Stride());
    EXPECT_EQ((RECT{0, 0, 7, 2}), dib.ClipRect());

    // Other depths are held but never drawn on or read as 24 bits.
    CDIB deep;
    deep.Create(nullptr, 4, 4, 32);
    std::fill(deep.Bits(), deep.Bits() + 64, BYTE{7});
    deep.Fill(RGB(1, 2, 3));
    dib.Blit(0, 0, 4, 4, deep, 0, 0);
    EXPECT_EQ(7, deep.Bits()[63]);
    EXPECT_EQ(0u, PixelAt(dib, 0, 0));

    dib.Release();
    EXPECT_EQ(0u, ::GetObjectType(section));
    EXPECT_EQ(nullptr, dib.Bits());
    EXPECT_THROW(dib.Create(nullptr, 0, 3, 24), lib::wfc::bad_alloc);
    EXPECT_THROW(dib.Create(nullptr, 0x7FFFFFFF, 1, 24), lib::wfc::bad_alloc);
}

// The model: every destination pixel inside the bitmap, the clip and the
// destination rectangle whose source pixel lies inside the source gets
// op(destination, source).
using PixelOp = std::function<COLORREF(COLORREF d, COLORREF s)>;
void ModelCopy(CDIB& dest, int x, int y, int w, int h, const CDIB& source, int sx, int sy, const PixelOp& op) {
    const RECT clip = dest.ClipRect();
    for (int py = std::max<int>(clip.top, y); py < std::min<int>({clip.bottom, y + h, dest.Height()}); ++py) {
        for (int px = std::max<int>(clip.left, x); px < std::min<int>({clip.right, x + w, dest.Width()}); ++px) {
            const int qx = px - x + sx, qy = py - y + sy;
            if (px < 0 || py < 0 || qx < 0 || qx >= source.Width() || qy < 0 || qy >= source.Height()) continue;
            test::SetPixelAt(dest, px, py, op(PixelAt(dest, px, py), PixelAt(source, qx, qy)));
        }
    }
}

COLORREF BlendModel(COLORREF d, COLORREF s, int opacity) {
    auto channel = [&](int dc, int sc) { return dc + (((sc - dc) * (opacity + 1)) >> 8); };
    return RGB(channel(GetRValue(d), GetRValue(s)), channel(GetGValue(d), GetGValue(s)),
               channel(GetBValue(d), GetBValue(s)));
}

struct Placement {
    int x, y, w, h, sx, sy;
};

// Runs the operation and the model from a 37-pixel-wide source (two blocks
// of the 16-pixel key test and a rest) with keys alone, at block edges,
// across a block edge, filling a block, and colours sharing bytes with the
// key; placements inside, overhanging every edge, with negative source
// offsets, off block boundaries, empty and outside; three clips.
void ExpectMatchesModel(const std::function<void(CDIB&, const Placement&, const CDIB&)>& operation,
                        const PixelOp& op) {
    CDIB source;
    test::CreatePattern(source, 37, 6, 5);
    for (int x : {0, 3, 15, 16, 31, 36}) test::SetPixelAt(source, x, 1, kMagenta);
    for (int x = 13; x < 20; ++x) test::SetPixelAt(source, x, 2, kMagenta);
    for (int x = 16; x < 32; ++x) test::SetPixelAt(source, x, 3, kMagenta);
    for (int x = 0; x < 37; x += 2) test::SetPixelAt(source, x, 4, x % 4 ? kMagenta : RGB(255, 0, 254));
    test::SetPixelAt(source, 5, 5, RGB(255, 1, 255));
    const Placement placements[] = {
        {0, 0, 41, 7, 0, 0},   {2, 1, 35, 5, 3, 2},  {-3, -2, 60, 20, 0, 0}, {5, 3, 80, 40, 1, 1},
        {1, 1, 30, 4, -2, -1}, {0, 0, 20, 5, 17, 4}, {4, 2, 0, 3, 0, 0},     {50, 0, 5, 5, 0, 0},
        {7, 0, 33, 6, 4, 0},
    };
    for (const RECT clip : {RECT{0, 0, 41, 7}, RECT{2, 1, 29, 5}, RECT{-50, -50, 500, 500}}) {
        for (const Placement& p : placements) {
            CDIB actual, expected;
            test::CreatePattern(actual, 41, 7, 90);
            test::CreatePattern(expected, 41, 7, 90);
            actual.SetClipRect(clip);
            expected.SetClipRect(clip);
            operation(actual, p, source);
            ModelCopy(expected, p.x, p.y, p.w, p.h, source, p.sx, p.sy, op);
            EXPECT_TRUE(test::SamePixels(expected, actual)) << p.x << "," << p.y << " " << p.w << "x" << p.h
                                                            << " from " << p.sx << "," << p.sy << " clip " << clip.left;
        }
    }
}

TEST(DIB, BlitCopiesWithAndWithoutKeyInsideTheClip) {
    ExpectMatchesModel([](CDIB& d, const Placement& p, const CDIB& s) { d.Blit(p.x, p.y, p.w, p.h, s, p.sx, p.sy); },
                       [](COLORREF, COLORREF s) { return s; });
    ExpectMatchesModel(
        [](CDIB& d, const Placement& p, const CDIB& s) { d.Blit(p.x, p.y, p.w, p.h, s, p.sx, p.sy, kMagenta); },
        [](COLORREF d, COLORREF s) { return s == kMagenta ? d : s; });
}

TEST(DIB, BlendBlitWithAndWithoutKeyInsideTheClip) {
    for (int opacity : {0, 77, 255}) {
        SCOPED_TRACE(opacity);
        ExpectMatchesModel(
            [&](CDIB& d, const Placement& p, const CDIB& s) {
                d.BlendBlit(p.x, p.y, p.w, p.h, s, p.sx, p.sy, opacity, kMagenta);
            },
            [&](COLORREF d, COLORREF s) { return s == kMagenta ? d : BlendModel(d, s, opacity); });
    }
    ExpectMatchesModel(
        [](CDIB& d, const Placement& p, const CDIB& s) { d.BlendBlit(p.x, p.y, p.w, p.h, s, p.sx, p.sy, 128); },
        [](COLORREF d, COLORREF s) { return BlendModel(d, s, 128); });
}

TEST(DIB, BlendArithmeticHoldsForEveryChannelPairAndClampsOpacity) {
    // Destination value x against source value y in all three channels.
    CDIB dest, source;
    dest.Create(nullptr, 256, 256, 24);
    source.Create(nullptr, 256, 256, 24);
    for (int opacity : {0, 1, 100, 254, 300, -5}) {
        for (int y = 0; y < 256; ++y) {
            for (int x = 0; x < 256; ++x) {
                test::SetPixelAt(dest, x, y, RGB(x, x, x));
                test::SetPixelAt(source, x, y, RGB(y, y, y));
            }
        }
        dest.BlendBlit(0, 0, 256, 256, source, 0, 0, opacity);
        const int clamped = std::clamp(opacity, 0, 255);
        for (int y = 0; y < 256; ++y) {
            for (int x = 0; x < 256; ++x) {
                ASSERT_EQ(BlendModel(RGB(x, x, x), RGB(y, y, y), clamped), PixelAt(dest, x, y))
                    << "d " << x << " s " << y << " opacity " << opacity;
            }
        }
    }
}

TEST(DIB, CopiesWithinOneBitmapReadTheOriginalPixels) {
    CDIB dib, original;
    dib.Create(nullptr, 9, 4, 24);
    dib.Fill(kMagenta);
    test::SetPixelAt(dib, 2, 2, RGB(1, 2, 3));
    dib.Blit(1, 0, 9, 4, dib, 0, 0, kMagenta);
    EXPECT_EQ(RGB(1, 2, 3), PixelAt(dib, 3, 2));
    EXPECT_EQ(RGB(1, 2, 3), PixelAt(dib, 2, 2));
    EXPECT_EQ(kMagenta, PixelAt(dib, 4, 2));

    CDIB expected;
    for (const Placement& p : {Placement{2, 1, 7, 4, 0, 0}, Placement{0, 0, 7, 4, 2, 1}}) {
        for (CDIB* each : {&dib, &original, &expected}) test::CreatePattern(*each, 10, 6, 3);
        dib.Blit(p.x, p.y, p.w, p.h, dib, p.sx, p.sy);
        ModelCopy(expected, p.x, p.y, p.w, p.h, original, p.sx, p.sy, [](COLORREF, COLORREF s) { return s; });
        EXPECT_TRUE(test::SamePixels(expected, dib)) << p.x << "," << p.y;
    }
}

}  // namespace
