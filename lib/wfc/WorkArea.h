#pragma once
// Keeping windows where the user can reach them.
#include <windows.h>

#include <optional>

#include "lib/wfc/MonitorList.h"

namespace lib::wfc {

// The primary monitor's work area; an empty rectangle when it cannot be read.
RECT GetWorkArea();

// Moves `hwnd` (now at `windowRect`, size kept) by the least amount that puts
// it inside `area`; its left/top edge wins when it is larger than the area.
// True when it moved.
bool MoveIntoRect(HWND hwnd, const RECT& windowRect, const RECT& area);

// The work area a window at `windowRect` has to come back into, none while
// it still overlaps a work area: that of the first monitor the window
// overlaps, else that of the nearest monitor. An empty list is read first.
std::optional<RECT> AreaToReturnTo(const RECT& windowRect, MonitorList& monitors);

// Brings a window that touches no work area back onto the screen; true when it moved.
bool KeepWindowOnScreen(HWND hwnd);

}  // namespace lib::wfc
