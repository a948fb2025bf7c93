#include "ui/ResizeZone.h"

#include <algorithm>

namespace ui {
namespace {

constexpr int kNone = -1;

// Rows: top border, top grip, caption band, middle, bottom grip, bottom border.
// Columns: left border, left grip, middle, right grip, right border.
constexpr ResizeZone kZones[6][5] = {
    {kZoneTopLeft, kZoneTopLeft, kZoneTop, kZoneTopRight, kZoneTopRight},
    {kZoneTopLeft, kZoneTopLeft, kZoneCaption, kZoneTopRight, kZoneTopRight},
    {kZoneLeft, kZoneClient, kZoneClient, kZoneClient, kZoneRight},
    {kZoneLeft, kZoneClient, kZoneClient, kZoneClient, kZoneRight},
    {kZoneBottomLeft, kZoneBottomLeft, kZoneClient, kZoneBottomRight, kZoneBottomRight},
    {kZoneBottomLeft, kZoneBottomLeft, kZoneBottom, kZoneBottomRight, kZoneBottomRight},
};

int ColumnOf(int x, int width, int border, int grip) noexcept {
    if (x >= 0 && x < border) return 0;
    if (x >= border && x < grip) return 1;
    if (x >= grip && x < width - grip) return 2;
    if (x >= width - grip && x < width - border) return 3;
    if (x >= width - border && x < width) return 4;
    return kNone;
}

int RowOf(int y, int height, int border, int grip, int caption) noexcept {
    if (y >= 0 && y < border) return 0;
    if (y >= border && y < grip) return 1;
    if (y >= grip && y < grip + caption) return 2;
    if (y >= grip + caption && y < height - grip) return 3;
    if (y >= height - grip && y < height - border) return 4;
    if (y >= height - border && y < height) return 5;
    return kNone;
}

bool MovesLeft(int zone) noexcept { return zone == kZoneTopLeft || zone == kZoneLeft || zone == kZoneBottomLeft; }
bool MovesRight(int zone) noexcept {
    return zone == kZoneTopRight || zone == kZoneRight || zone == kZoneBottomRight;
}
bool MovesTop(int zone) noexcept { return zone == kZoneTopLeft || zone == kZoneTop || zone == kZoneTopRight; }
bool MovesBottom(int zone) noexcept {
    return zone == kZoneBottomLeft || zone == kZoneBottom || zone == kZoneBottomRight;
}

}  // namespace

ResizeZone ResizeZoneAt(int x, int y, int width, int height, int borderWidth, int captionHeight) noexcept {
    const int grip = borderWidth > 0 ? kResizeGrip : 0;
    const int column = ColumnOf(x, width, borderWidth, grip);
    const int row = RowOf(y, height, borderWidth, grip, captionHeight);
    if (column == kNone || row == kNone) return kZoneNone;
    return kZones[row][column];
}

bool IsSizingZone(int zone) noexcept { return zone >= kZoneTopLeft && zone <= kZoneBottomRight && zone != kZoneClient; }

UINT SizingEdgeOfZone(int zone) noexcept {
    switch (zone) {
    case kZoneTopLeft: return WMSZ_TOPLEFT;
    case kZoneTop: return WMSZ_TOP;
    case kZoneTopRight: return WMSZ_TOPRIGHT;
    case kZoneLeft: return WMSZ_LEFT;
    case kZoneRight: return WMSZ_RIGHT;
    case kZoneBottomLeft: return WMSZ_BOTTOMLEFT;
    case kZoneBottom: return WMSZ_BOTTOM;
    case kZoneBottomRight: return WMSZ_BOTTOMRIGHT;
    default: return 0;
    }
}

const char* CursorOfZone(int zone) noexcept {
    switch (zone) {
    case kZoneTopLeft:
    case kZoneBottomRight: return IDC_SIZENWSE;
    case kZoneTop:
    case kZoneBottom: return IDC_SIZENS;
    case kZoneTopRight:
    case kZoneBottomLeft: return IDC_SIZENESW;
    case kZoneLeft:
    case kZoneRight: return IDC_SIZEWE;
    default: return nullptr;
    }
}

ResizeLimits ResizeLimitsFor(int zone, const RECT& start, int minWidth, int minHeight) noexcept {
    return ResizeLimits{static_cast<int>(MovesLeft(zone) ? start.right - minWidth : start.left),
                        static_cast<int>(MovesTop(zone) ? start.bottom - minHeight : start.top),
                        static_cast<int>(MovesRight(zone) ? start.left + minWidth : start.right),
                        static_cast<int>(MovesBottom(zone) ? start.top + minHeight : start.bottom)};
}

RECT ResizedRect(int zone, const RECT& start, int dx, int dy, const ResizeLimits& limits) noexcept {
    RECT rect = start;
    if (MovesLeft(zone)) rect.left = std::min<LONG>(start.left + dx, limits.maxLeft);
    if (MovesRight(zone)) rect.right = std::max<LONG>(start.right + dx, limits.minRight);
    if (MovesTop(zone)) rect.top = std::min<LONG>(start.top + dy, limits.maxTop);
    if (MovesBottom(zone)) rect.bottom = std::max<LONG>(start.bottom + dy, limits.minBottom);
    return rect;
}

}  // namespace ui
