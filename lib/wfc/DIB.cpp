#include "lib/wfc/DIB.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "lib/wfc/DIBPixels.h"
#include "lib/wfc/DIBStretch.h"
#include "lib/wfc/ImageDecoder.h"
#include "lib/wfc/bad_alloc.h"

namespace lib::wfc {
namespace {

using pixels::Span;

Span Bounds(const CDIB& dib) { return {0, 0, dib.Width(), dib.Height()}; }

// Calls rowOp(destination, source, width) for every row of a copy from
// `source` (sx, sy) to `dest` (x, y) clipped on both sides: pixels whose
// destination or source lies outside move both rectangles alike. A source
// that overlaps its own destination is read from a copy taken first.
template <typename RowOp>
void ForEachCopiedRow(CDIB& dest, int x, int y, int width, int height, const CDIB& source, int sx, int sy,
                      RowOp rowOp) {
    if (!dest.IsDrawable() || !source.IsDrawable()) return;
    const Span area = pixels::Intersect(pixels::SpanOf(dest.ClipRect()), Bounds(dest));
    Span d = pixels::Intersect(pixels::SpanOf(x, y, width, height), area);
    const long long offsetX = static_cast<long long>(sx) - x;
    const long long offsetY = static_cast<long long>(sy) - y;
    const Span sourceInDest = {-offsetX, -offsetY, source.Width() - offsetX, source.Height() - offsetY};
    d = pixels::Intersect(d, sourceInDest);
    if (d.Empty()) return;

    const int left = static_cast<int>(d.left), top = static_cast<int>(d.top);
    const int columns = static_cast<int>(d.right - d.left), rows = static_cast<int>(d.bottom - d.top);
    const int sourceLeft = static_cast<int>(d.left + offsetX), sourceTop = static_cast<int>(d.top + offsetY);
    const std::size_t rowBytes = 3 * static_cast<std::size_t>(columns);

    std::vector<BYTE> staged;
    const bool overlaps =
        &dest == &source && std::abs(sourceLeft - left) < columns && std::abs(sourceTop - top) < rows;
    if (overlaps) {
        staged.resize(rowBytes * rows);
        for (int r = 0; r < rows; ++r) {
            std::memcpy(&staged[r * rowBytes], source.Row(sourceTop + r) + 3 * sourceLeft, rowBytes);
        }
    }
    for (int r = 0; r < rows; ++r) {
        const BYTE* from = overlaps ? &staged[r * rowBytes] : source.Row(sourceTop + r) + 3 * sourceLeft;
        rowOp(dest.Row(top + r) + 3 * left, from, columns);
    }
}

}  // namespace

CDIB::~CDIB() { Release(); }

void CDIB::Attach(HBITMAP bitmap) {
    if (bitmap == Handle()) return;
    DIBSECTION section{};
    const bool isSection = bitmap && ::GetObjectA(bitmap, sizeof section, &section) == sizeof section;
    BITMAPINFOHEADER header{};
    if (isSection) header = section.dsBmih;
    Adopt(bitmap, header, isSection ? section.dsBm.bmBits : nullptr);
}

void CDIB::Release() noexcept {
    Destroy();
    header_ = BITMAPINFOHEADER{};
    clip_ = RECT{};
    bits_ = nullptr;
    height_ = 0;
    stride_ = 0;
}

void CDIB::Adopt(HBITMAP bitmap, const BITMAPINFOHEADER& header, void* bits) {
    Release();
    CGDIObject<HBITMAP>::Attach(bitmap);
    const int stride = StrideOf(header.biWidth, header.biBitCount);
    if (!bits || stride == 0 || header.biHeight == 0 || header.biHeight == LONG_MIN) return;
    header_ = header;
    bits_ = static_cast<BYTE*>(bits);
    height_ = std::abs(static_cast<int>(header.biHeight));
    stride_ = stride;
    clip_ = {0, 0, header.biWidth, height_};
}

int CDIB::StrideOf(LONG width, WORD bitCount) noexcept {
    if (width <= 0 || bitCount == 0) return 0;
    const long long bytes = (static_cast<long long>(width) * bitCount / 8 + 3) / 4 * 4;
    return bytes > INT_MAX ? 0 : static_cast<int>(bytes);
}

void CDIB::Create(HDC dc, int width, int height, int bitCount) {
    Release();
    BITMAPINFO info{};
    BITMAPINFOHEADER& header = info.bmiHeader;
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(bitCount);
    header.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = nullptr;
    if (StrideOf(width, header.biBitCount) != 0 && height != 0 && height != INT_MIN) {
        bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    }
    if (!bitmap) throw bad_alloc();
    Adopt(bitmap, header, bits);
}

void CDIB::Fill(COLORREF color) {
    if (!IsDrawable()) return;
    const BYTE blue = GetBValue(color), green = GetGValue(color), red = GetRValue(color);
    if (blue == green && green == red) {
        std::memset(bits_, blue, static_cast<std::size_t>(stride_) * height_);
        return;
    }
    BYTE* first = bits_;
    for (int x = 0; x < Width(); ++x) {
        first[3 * x] = blue;
        first[3 * x + 1] = green;
        first[3 * x + 2] = red;
    }
    for (int r = 1; r < height_; ++r) std::memcpy(bits_ + static_cast<std::size_t>(r) * stride_, first, 3 * Width());
}

RECT CDIB::SetClipRect(const RECT& rect) {
    const RECT previous = clip_;
    clip_ = rect;
    return previous;
}

void CDIB::Blit(int x, int y, int width, int height, const CDIB& source, int sx, int sy, COLORREF keyColor) {
    const bool keyed = keyColor != kNoKey;
    const std::uint32_t key = pixels::PackColor(keyColor);
    ForEachCopiedRow(*this, x, y, width, height, source, sx, sy,
                     [&](BYTE* d, const BYTE* s, int count) { pixels::CopyRow(d, s, count, keyed, key); });
}

void CDIB::BlendBlit(int x, int y, int width, int height, const CDIB& source, int sx, int sy, int opacity,
                     COLORREF keyColor) {
    opacity = std::clamp(opacity, 0, 255);
    if (opacity == 255) {
        Blit(x, y, width, height, source, sx, sy, keyColor);
        return;
    }
    const bool keyed = keyColor != kNoKey;
    const std::uint32_t key = pixels::PackColor(keyColor);
    const unsigned weight = static_cast<unsigned>(opacity) + 1;
    ForEachCopiedRow(*this, x, y, width, height, source, sx, sy, [&](BYTE* d, const BYTE* s, int count) {
        pixels::BlendRow(d, s, count, weight, keyed, key);
    });
}

void CDIB::StretchBlit(int x, int y, int width, int height, const CDIB& source, int sx, int sy, int sw, int sh,
                       int rotation, const RECT* clip) {
    StretchDIB(*this, x, y, width, height, source, sx, sy, sw, sh, rotation, clip, StretchMode::kAverage);
}

bool CDIB::LoadFromStream(IStream* stream, ImageLoadInfo* info) { return DecodeImage(stream, this, info); }

bool CDIB::LoadFromFile(const char* path, ImageLoadInfo* info) { return DecodeImageFile(path, this, info); }

bool CDIB::LoadFromResource(const char* name, const char* type, ImageLoadInfo* info, HMODULE module) {
    return DecodeImageResource(module, name, type, this, info);
}

}  // namespace lib::wfc
