#include "lib/wfc/GlyphText.h"

#include <algorithm>
#include <climits>
#include <new>
#include <vector>

#include "lib/wfc/DIBPixels.h"
#include "lib/wfc/GlyphLayout.h"

namespace lib::wfc {
namespace {

constexpr UINT kAllowedFormat =
    DT_CENTER | DT_RIGHT | DT_VCENTER | DT_BOTTOM | DT_SINGLELINE | DT_NOCLIP | DT_EXTERNALLEADING | DT_CALCRECT;

bool IsValidFormat(UINT format) {
    return !(format & ~kAllowedFormat) && (format & (DT_CENTER | DT_RIGHT)) != (DT_CENTER | DT_RIGHT) &&
           (format & (DT_VCENTER | DT_BOTTOM)) != (DT_VCENTER | DT_BOTTOM);
}

// Top of the first line: vertical alignment applies to a single line only.
int FirstLineTop(const RECT& rect, UINT format, int blockHeight) {
    const int height = rect.bottom - rect.top;
    if (!(format & DT_SINGLELINE)) return rect.top;
    if (format & DT_VCENTER) return rect.top + (height - blockHeight) / 2;
    if (format & DT_BOTTOM) return rect.top + height - blockHeight;
    return rect.top;
}

int LineLeft(const RECT& rect, UINT format, int lineWidth) {
    const int width = rect.right - rect.left;
    if (format & DT_CENTER) return rect.left + (width - lineWidth) / 2;
    if (format & DT_RIGHT) return rect.left + width - lineWidth;
    return rect.left;
}

// The destination of the drawing: a bottom-up 24-bit bitmap, the area that
// may be touched and the colour.
struct Target {
    BYTE* bits;
    int height;
    int stride;
    pixels::Span area;
    BYTE color[3];  // blue, green, red

    BYTE* Pixel(int x, int y) const {
        return bits + static_cast<std::ptrdiff_t>(height - 1 - y) * stride + 3 * static_cast<std::ptrdiff_t>(x);
    }
};

// Blends one glyph's coverage (0..64 in rows padded to 4 bytes) with its
// black box's top-left corner at (left, top).
void BlendGlyph(const Target& target, const GLYPHMETRICS& metrics, const BYTE* coverage, int left, int top) {
    const int pitch = (static_cast<int>(metrics.gmBlackBoxX) + 3) & ~3;
    const pixels::Span box = pixels::Intersect(
        pixels::SpanOf(left, top, metrics.gmBlackBoxX, metrics.gmBlackBoxY), target.area);
    for (long long y = box.top; y < box.bottom; ++y) {
        const BYTE* row = coverage + (y - top) * pitch;
        BYTE* d = target.Pixel(static_cast<int>(box.left), static_cast<int>(y));
        for (long long x = box.left; x < box.right; ++x, d += 3) {
            const unsigned c = std::min<unsigned>(row[x - left], 64);
            if (c == 0) continue;
            const unsigned weight = (c * 255 >> 6) + 1;
            for (int channel = 0; channel < 3; ++channel) {
                d[channel] = pixels::BlendByte(d[channel], target.color[channel], weight);
            }
        }
    }
}

bool Render(HDC dc, const GlyphLayout& layout, const Target& target, const RECT& rect, UINT format) {
    std::vector<BYTE> buffer(1024);
    int top = FirstLineTop(rect, format, layout.BlockHeight());
    for (const GlyphLine& line : layout.Lines()) {
        int pen = LineLeft(rect, format, line.width);
        for (std::size_t i = 0; i < line.glyphs.size(); ++i) {
            GLYPHMETRICS metrics{};
            DWORD size = ::GetGlyphOutlineA(dc, line.glyphs[i], GGO_GRAY8_BITMAP, &metrics,
                                            static_cast<DWORD>(buffer.size()), buffer.data(), &IdentityMatrix());
            if (size == GDI_ERROR) {
                // Perhaps only too small a buffer: ask for the size and try once more.
                size = ::GetGlyphOutlineA(dc, line.glyphs[i], GGO_GRAY8_BITMAP, &metrics, 0, nullptr,
                                          &IdentityMatrix());
                if (size == GDI_ERROR || size <= buffer.size()) return false;
                buffer.resize(size);
                size = ::GetGlyphOutlineA(dc, line.glyphs[i], GGO_GRAY8_BITMAP, &metrics, size, buffer.data(),
                                          &IdentityMatrix());
                if (size == GDI_ERROR) return false;
            }
            const std::size_t needed =
                static_cast<std::size_t>((metrics.gmBlackBoxX + 3) & ~3u) * metrics.gmBlackBoxY;
            if (size != 0 && needed <= std::min<std::size_t>(size, buffer.size())) {
                BlendGlyph(target, metrics, buffer.data(), pen + metrics.gmptGlyphOrigin.x,
                           top + layout.Ascent() - metrics.gmptGlyphOrigin.y);
            }
            pen += line.advances[i];
        }
        top += layout.LineHeight();
    }
    return true;
}

bool Measure(HDC dc, const char* text, RECT* rect, UINT format) {
    GlyphLayout layout;
    if (!layout.Measure(dc, text, format)) return false;
    const int height = rect->bottom - rect->top;
    const int block = layout.BlockHeight();
    rect->right = rect->left + layout.BlockWidth();
    if ((format & DT_SINGLELINE) && (format & DT_VCENTER)) {
        rect->bottom = rect->top + (height - block) / 2 + block;
    } else if ((format & DT_SINGLELINE) && (format & DT_BOTTOM)) {
        rect->bottom = rect->top + std::max(height, block);
    } else {
        rect->bottom = rect->top + block;
    }
    return true;
}

}  // namespace

int DrawTextNoPrefix(HDC dc, const char* text, int length, RECT* rect, UINT format) {
    return ::DrawTextA(dc, text, length, rect, format | DT_NOPREFIX);
}

bool MeasureGlyphText(HDC dc, const char* text, RECT* rect, UINT format) {
    if (!dc || !text || !rect || !IsValidFormat(format)) return false;
    try {
        return Measure(dc, text, rect, format);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool DrawGlyphText(HDC dc, const BITMAPINFOHEADER* header, BYTE* bits, const char* text, RECT* rect, UINT format,
                   const RECT* clip) {
    if (!dc || !header || !bits || !text || !rect || !IsValidFormat(format)) return false;
    if (header->biPlanes != 1 || header->biBitCount != 24 || header->biWidth <= 0 || header->biHeight <= 0) {
        return false;
    }
    const long long stride = (static_cast<long long>(header->biWidth) * 3 + 3) / 4 * 4;
    if (stride > INT_MAX) return false;
    try {
        if (format & DT_CALCRECT) return Measure(dc, text, rect, format);
        GlyphLayout layout;
        if (!layout.Measure(dc, text, format)) return false;

        pixels::Span area{0, 0, header->biWidth, header->biHeight};
        if (clip) area = pixels::Intersect(area, pixels::SpanOf(*clip));
        if (!(format & DT_NOCLIP)) area = pixels::Intersect(area, pixels::SpanOf(*rect));
        const COLORREF color = ::GetTextColor(dc);
        const Target target{bits, static_cast<int>(header->biHeight), static_cast<int>(stride), area,
                            {GetBValue(color), GetGValue(color), GetRValue(color)}};
        // Pending GDI drawing into the bitmap must land before ours.
        ::GdiFlush();
        return Render(dc, layout, target, *rect, format);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

}  // namespace lib::wfc
