#include "lib/wfc/RegionWindow.h"

#include <cstring>
#include <vector>

#include "lib/Exception.h"
#include "lib/wfc/DIBPixels.h"
#include "lib/wfc/bad_alloc.h"

namespace lib::wfc {
namespace {

// RGNDATA is a 32-byte header followed by the rectangles: the header takes
// the room of the first two.
constexpr std::size_t kHeaderRects = sizeof(RGNDATAHEADER) / sizeof(RECT);
static_assert(sizeof(RGNDATAHEADER) == kHeaderRects * sizeof(RECT));

}  // namespace

RegionHandle CRegionWindow::CreateRegionFromDIB(const CDIB& dib, int x0, int y0, int x1, int y1,
                                                COLORREF keyColor) {
    if (!dib.IsDrawable() || x0 < 0 || y0 < 0 || x1 < x0 || y1 < y0 || x1 > dib.Width() || y1 > dib.Height()) {
        throw lib::IlligalArgumentException("CreateRegionFromDIB: the area is not inside a 24-bit bitmap");
    }

    // Grown run by run rather than sized for the worst case, whose byte count
    // does not fit 32 bits for large bitmaps.
    std::vector<RECT> data(kHeaderRects);
    const auto key = pixels::PackColor(keyColor);
    for (int y = y0; y < y1; ++y) {
        const int top = y - y0;
        const BYTE* row = dib.Row(y) + 3 * static_cast<std::ptrdiff_t>(x0);
        pixels::ForEachUnkeyedRun(row, x1 - x0, key, [&](int first, int count) {
            data.push_back(RECT{first, top, first + count, top + 1});
        });
    }

    const std::size_t count = data.size() - kHeaderRects;
    RegionHandle region;
    if (count == 0) {
        region.reset(::CreateRectRgn(0, 0, 0, 0));
    } else {
        if (count > (MAXDWORD - sizeof(RGNDATAHEADER)) / sizeof(RECT)) throw bad_alloc();
        RGNDATAHEADER header{};
        header.dwSize = sizeof header;
        header.iType = RDH_RECTANGLES;
        header.nCount = static_cast<DWORD>(count);
        header.nRgnSize = static_cast<DWORD>(count * sizeof(RECT));
        header.rcBound = RECT{0, 0, x1 - x0, y1 - y0};
        std::memcpy(data.data(), &header, sizeof header);
        region.reset(::ExtCreateRegion(nullptr, static_cast<DWORD>(data.size() * sizeof(RECT)),
                                       reinterpret_cast<const RGNDATA*>(data.data())));
    }
    if (!region) throw bad_alloc();
    return region;
}

void CRegionWindow::SetRegion(HRGN region) {
    RegionHandle copy(::CreateRectRgn(0, 0, 0, 0));
    if (!copy || ::CombineRgn(copy.get(), region, nullptr, RGN_COPY) == ERROR) throw bad_alloc();
    // On success the window owns the copy.
    if (::SetWindowRgn(GetHandle(), copy.get(), TRUE)) copy.release();
    InvalidateRect(nullptr, false);
}

}  // namespace lib::wfc
