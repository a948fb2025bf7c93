#pragma once
// Where a frameless skin window is grabbed to resize it, and the rectangle a
// drag from there gives. Pure arithmetic, in client or screen coordinates.
#include <windows.h>

namespace ui {

enum ResizeZone : int {
    kZoneTopLeft = 0,
    kZoneTop = 1,
    kZoneTopRight = 2,
    kZoneLeft = 3,
    kZoneClient = 4,
    kZoneRight = 5,
    kZoneBottomLeft = 6,
    kZoneBottom = 7,
    kZoneBottomRight = 8,
    kZoneCaption = 10,  // the grip strip above the caption band
    kZoneNone = 11,     // outside the window
};

// The width of the corner and edge strips when the window has a border.
constexpr int kResizeGrip = 16;

// The zone of a client point of a window of width x height with the border
// and caption band given; items are not looked at. Border 0 gives only
// client (or none outside).
ResizeZone ResizeZoneAt(int x, int y, int width, int height, int borderWidth, int captionHeight) noexcept;

// Zones 0-3 and 5-8 move edges.
bool IsSizingZone(int zone) noexcept;
// The WMSZ_ edge code of a sizing zone, 0 for others.
UINT SizingEdgeOfZone(int zone) noexcept;
// The IDC_SIZE* cursor of a sizing zone, null for others.
const char* CursorOfZone(int zone) noexcept;

// How far the moving edges of a drag may go: the left edge not right of
// maxLeft, the top not below maxTop, the right not left of minRight, the
// bottom not above minBottom. Edges that stay keep their start value.
struct ResizeLimits {
    int maxLeft, maxTop, minRight, minBottom;
};

ResizeLimits ResizeLimitsFor(int zone, const RECT& start, int minWidth, int minHeight) noexcept;
// The start rectangle with the zone's edges moved by (dx, dy), held to the limits.
RECT ResizedRect(int zone, const RECT& start, int dx, int dy, const ResizeLimits& limits) noexcept;

}  // namespace ui
