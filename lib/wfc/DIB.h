#pragma once
// A 24-bit device-independent bitmap that the framework draws into in memory:
// copies with and without a colour key, constant-opacity blends and stretched,
// rotated copies, all clipped to the clip rectangle and the bitmap. Pixels are
// blue, green, red; rows are bottom-up for a positive header height.
#include <windows.h>
#include <objidl.h>

#include "lib/wfc/GdiObject.h"
#include "lib/wfc/ImageLoadInfo.h"

namespace lib::wfc {

class CDIB : public CGDIObject<HBITMAP> {
public:
    // A key colour that skips nothing.
    static constexpr COLORREF kNoKey = static_cast<COLORREF>(-1);

    CDIB() noexcept = default;
    ~CDIB() override;

    // Takes ownership of a DIB section and reads its layout (as GetObject
    // reports it, which may not keep a top-down height's sign); another kind
    // of bitmap is held but has no pixels to draw on.
    void Attach(HBITMAP bitmap) override;
    // Deletes the bitmap and clears every field.
    virtual void Release() noexcept;

    // A new DIB section (the previous one released); the clip becomes the whole
    // bitmap. Failure throws lib::wfc::bad_alloc.
    void Create(HDC dc, int width, int height, int bitCount = 24);

    void Fill(COLORREF color);
    // Limits every drawing operation to `rect` (within the bitmap); returns the previous rectangle.
    RECT SetClipRect(const RECT& rect);
    const RECT& ClipRect() const noexcept { return clip_; }

    // Copies width x height pixels of `source` at (sx, sy) to (x, y); pixels
    // equal to keyColor are skipped unless it is kNoKey. A pixel is copied
    // only when both its destination and its source lie inside, so that
    // clipping either side never shifts the image. `source` may be this bitmap.
    void Blit(int x, int y, int width, int height, const CDIB& source, int sx, int sy, COLORREF keyColor = kNoKey);
    // As Blit, each channel moved towards the source by (opacity + 1) / 256
    // (opacity limited to 0..255).
    void BlendBlit(int x, int y, int width, int height, const CDIB& source, int sx, int sy, int opacity,
                   COLORREF keyColor = kNoKey);
    // Stretches source (sx, sy, sw, sh) over (x, y, width, height), rotated
    // clockwise by 0, 90, 180 or 270 degrees, averaging 2 x 2 source blocks;
    // clipped to `clip` (null: the clip rectangle) and the bitmap.
    void StretchBlit(int x, int y, int width, int height, const CDIB& source, int sx, int sy, int sw, int sh,
                     int rotation, const RECT* clip);

    // Decoding through GDI+. False with the reason in *info (may be null);
    // a failed load leaves the bitmap empty.
    bool LoadFromStream(IStream* stream, ImageLoadInfo* info);
    bool LoadFromFile(const char* path, ImageLoadInfo* info);
    bool LoadFromResource(const char* name, const char* type, ImageLoadInfo* info, HMODULE module);

    const BITMAPINFOHEADER& Header() const noexcept { return header_; }
    BYTE* Bits() const noexcept { return bits_; }
    int Width() const noexcept { return header_.biWidth; }
    // Rows, whatever the orientation.
    int Height() const noexcept { return height_; }
    int Stride() const noexcept { return stride_; }
    // Start of image row y (0 = top).
    BYTE* Row(int y) const noexcept {
        return bits_ + static_cast<ptrdiff_t>(header_.biHeight > 0 ? height_ - 1 - y : y) * stride_;
    }
    // True for a 24-bit bitmap with pixels, the only kind the drawing operations work on.
    bool IsDrawable() const noexcept { return bits_ && header_.biBitCount == 24; }

private:
    void Adopt(HBITMAP bitmap, const BITMAPINFOHEADER& header, void* bits);
    // Bytes per row of a bitmap `width` wide at `bitCount` bits; 0 when it does not fit an int.
    static int StrideOf(LONG width, WORD bitCount) noexcept;

    BITMAPINFOHEADER header_{};
    RECT clip_{};
    BYTE* bits_ = nullptr;
    int height_ = 0;
    int stride_ = 0;
};

}  // namespace lib::wfc
