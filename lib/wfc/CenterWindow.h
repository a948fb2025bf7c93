#pragma once
#include <windows.h>

namespace lib::wfc {

// Centres `hwnd` on `relativeTo` (null: the desktop), then keeps it inside the
// work area, its left/top edge winning when it is larger than the area. The
// size is kept.
void CenterWindow(HWND hwnd, HWND relativeTo);

}  // namespace lib::wfc
