#pragma once
// A window shaped by a bitmap: every pixel that is not the key colour
// belongs to the window.
#include <windows.h>

#include "lib/UniqueHandle.h"
#include "lib/wfc/DIB.h"
#include "lib/wfc/Window.h"

namespace lib::wfc {

class CRegionWindow : public CWindow {
public:
    // The region of the pixels of (x0, y0)-(x1, y1) of `dib` that differ from
    // keyColor, relative to (x0, y0): one rectangle per horizontal run. An
    // all-key area gives an empty region. A rectangle outside the bitmap, or
    // a bitmap without 24-bit pixels, throws lib::IlligalArgumentException;
    // a region the system cannot make throws lib::wfc::bad_alloc.
    static RegionHandle CreateRegionFromDIB(const CDIB& dib, int x0, int y0, int x1, int y1, COLORREF keyColor);

    // Gives the window a copy of `region` (the caller keeps its own) and
    // repaints it without erasing. A copy that cannot be made throws lib::wfc::bad_alloc.
    void SetRegion(HRGN region);
};

}  // namespace lib::wfc
