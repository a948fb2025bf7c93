#pragma once
// Text output: DrawTextA without prefix processing, and the anti-aliased
// renderer that blends glyph coverage of the DC's font in its text colour
// straight into a 24-bit bottom-up bitmap.
#include <windows.h>

namespace lib::wfc {

// DrawTextA with DT_NOPREFIX always added.
int DrawTextNoPrefix(HDC dc, const char* text, int length, RECT* rect, UINT format);

// Formats understood: DT_CENTER or DT_RIGHT, DT_VCENTER or DT_BOTTOM (single
// line only), DT_SINGLELINE, DT_NOCLIP, DT_EXTERNALLEADING, DT_CALCRECT.
// Without DT_SINGLELINE line feeds break lines and carriage returns are
// skipped. Drawing is limited to the bitmap, `clip` (may be null) and, unless
// DT_NOCLIP, `rect`. With DT_CALCRECT only rect's right and bottom are set.
// False for any other format, a null argument, another kind of bitmap, or a
// glyph that cannot be measured or rendered.
bool DrawGlyphText(HDC dc, const BITMAPINFOHEADER* header, BYTE* bits, const char* text, RECT* rect, UINT format,
                   const RECT* clip);

// DrawGlyphText's DT_CALCRECT result without a bitmap.
bool MeasureGlyphText(HDC dc, const char* text, RECT* rect, UINT format);

}  // namespace lib::wfc
