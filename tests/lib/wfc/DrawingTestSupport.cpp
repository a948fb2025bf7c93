#include "tests/lib/wfc/DrawingTestSupport.h"

#include <algorithm>

#include "lib/wfc/DefaultLogFont.h"

namespace test {

COLORREF PixelAt(const lib::wfc::CDIB& dib, int x, int y) {
    const BYTE* p = dib.Row(y) + 3 * x;
    return RGB(p[2], p[1], p[0]);
}

void SetPixelAt(lib::wfc::CDIB& dib, int x, int y, COLORREF color) {
    BYTE* p = dib.Row(y) + 3 * x;
    p[0] = GetBValue(color);
    p[1] = GetGValue(color);
    p[2] = GetRValue(color);
}

void CreatePattern(lib::wfc::CDIB& dib, int width, int height, int seed) {
    dib.Create(nullptr, width, height, 24);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            SetPixelAt(dib, x, y, RGB(x * 37 + seed, y * 53 + seed * 3, (x + y) * 29 + seed * 7));
        }
    }
}

namespace {

template <typename Differs>
RECT AreaWhere(const lib::wfc::CDIB& dib, Differs differs) {
    RECT area = {dib.Width(), dib.Height(), 0, 0};
    for (int y = 0; y < dib.Height(); ++y) {
        for (int x = 0; x < dib.Width(); ++x) {
            if (!differs(x, y)) continue;
            area = {std::min<LONG>(area.left, x), std::min<LONG>(area.top, y), std::max<LONG>(area.right, x + 1),
                    std::max<LONG>(area.bottom, y + 1)};
        }
    }
    return area.right > area.left ? area : RECT{};
}

}  // namespace

RECT ChangedArea(const lib::wfc::CDIB& before, const lib::wfc::CDIB& after) {
    return AreaWhere(after, [&](int x, int y) { return PixelAt(before, x, y) != PixelAt(after, x, y); });
}

RECT InkBounds(const lib::wfc::CDIB& dib, COLORREF background) {
    return AreaWhere(dib, [&](int x, int y) { return PixelAt(dib, x, y) != background; });
}

bool SamePixels(const lib::wfc::CDIB& a, const lib::wfc::CDIB& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    for (int y = 0; y < a.Height(); ++y) {
        if (!std::equal(a.Row(y), a.Row(y) + 3 * a.Width(), b.Row(y))) return false;
    }
    return true;
}

TextCanvas::TextCanvas(int width, int height, int fontHeight) : saver_(dc_.Handle()) {
    dib_.Create(nullptr, width, height, 24);
    Clear();
    LOGFONTA font = lib::wfc::DefaultLogFont();
    font.lfHeight = -fontHeight;
    font_.Create(font);
    saver_.SelectObject(lib::wfc::DCStateSaver::kBitmapSlot, dib_.Handle());
    saver_.SelectObject(lib::wfc::DCStateSaver::kFontSlot, font_.Handle());
    saver_.SetTextColor(RGB(0, 0, 0));
    saver_.SetBkMode(TRANSPARENT);
}

TEXTMETRICA TextCanvas::Metrics() const {
    TEXTMETRICA metrics{};
    ::GetTextMetricsA(dc_.Handle(), &metrics);
    return metrics;
}

}  // namespace test
