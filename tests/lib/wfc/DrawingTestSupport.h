#pragma once
// Pixel access and fixtures shared by the drawing tests.
#include <windows.h>

#include "lib/wfc/DC.h"
#include "lib/wfc/DCStateSaver.h"
#include "lib/wfc/DIB.h"
#include "lib/wfc/Font.h"

inline bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline bool operator!=(const RECT& a, const RECT& b) { return !(a == b); }

namespace test {

COLORREF PixelAt(const lib::wfc::CDIB& dib, int x, int y);
void SetPixelAt(lib::wfc::CDIB& dib, int x, int y, COLORREF color);
// A 24-bit bitmap whose every pixel differs from its neighbours (seeded).
void CreatePattern(lib::wfc::CDIB& dib, int width, int height, int seed);
bool SamePixels(const lib::wfc::CDIB& a, const lib::wfc::CDIB& b);
// Smallest rectangle holding every pixel that differs between the bitmaps,
// or that is not `background` (empty when there is none).
RECT ChangedArea(const lib::wfc::CDIB& before, const lib::wfc::CDIB& after);
RECT InkBounds(const lib::wfc::CDIB& dib, COLORREF background);

// A white bitmap selected into a memory DC with the framework's default font
// at `fontHeight` pixels and black text.
class TextCanvas {
public:
    TextCanvas(int width, int height, int fontHeight);
    HDC dc() const { return dc_.Handle(); }
    lib::wfc::CDIB& dib() { return dib_; }
    TEXTMETRICA Metrics() const;
    void Clear() { dib_.Fill(RGB(255, 255, 255)); }

private:
    lib::wfc::CDIB dib_;
    lib::wfc::CMemDC dc_;
    lib::wfc::CFont font_;
    lib::wfc::DCStateSaver saver_;
};

}  // namespace test
