#pragma once
#include <windows.h>

#include "lib/wfc/DIB.h"

namespace lib::wfc {

enum class StretchMode {
    kNearest = 0,  // the source pixel at the index
    kAverage = 1,  // the 2 x 2 block at the index and its right and lower neighbours
};

// Stretches source (sx, sy, sw, sh) over dest (x, y, width, height), rotated
// clockwise by `rotation` (0, 90, 180 or 270; others draw nothing). Source
// positions are spread over the destination by an error-accumulation walk;
// destination pixels whose source lies outside the source bitmap are left as
// they are. Clipped to `clip` (null: the destination's clip rectangle) and
// the destination bitmap.
void StretchDIB(CDIB& dest, int x, int y, int width, int height, const CDIB& source, int sx, int sy, int sw, int sh,
                int rotation, const RECT* clip, StretchMode mode);

}  // namespace lib::wfc
