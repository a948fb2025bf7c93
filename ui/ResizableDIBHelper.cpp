#include "ui/ResizableDIBHelper.h"

#include <algorithm>

namespace ui {
namespace {

// Puts the destination's previous clip back, also when drawing throws.
class ClipScope {
public:
    ClipScope(lib::wfc::CDIB& dib, const RECT& clip) : dib_(dib), previous_(dib.SetClipRect(clip)) {}
    ClipScope(const ClipScope&) = delete;
    ClipScope& operator=(const ClipScope&) = delete;
    ~ClipScope() { dib_.SetClipRect(previous_); }

private:
    lib::wfc::CDIB& dib_;
    RECT previous_;
};

struct Piece {
    int sx, sy, width, height;
};

void DrawPiece(lib::wfc::CDIB& dest, int x, int y, const lib::wfc::CDIB& source, const Piece& piece, int opacity,
               COLORREF keyColor) {
    if (piece.width <= 0 || piece.height <= 0) return;
    if (opacity >= 255) {
        dest.Blit(x, y, piece.width, piece.height, source, piece.sx, piece.sy, keyColor);
    } else {
        dest.BlendBlit(x, y, piece.width, piece.height, source, piece.sx, piece.sy, opacity, keyColor);
    }
}

// The offset of the first copy, a multiple of the piece size, that reaches `from`.
int FirstCopy(long long from, long long origin, int pieceSize) {
    return from <= origin ? 0 : static_cast<int>((from - origin) / pieceSize * pieceSize);
}

// How much of `size` from `origin` lies before `end`.
int ExtentBefore(long long end, long long origin, int size) {
    return static_cast<int>(std::clamp<long long>(end - origin, 0, size));
}

// Repeats the piece over the area from its top-left corner, clipping the last
// column and row to the area. Copies wholly outside the destination's clip
// draw nothing and are skipped: a partial redraw of a small piece's area
// would otherwise walk through all of its copies.
void FillArea(lib::wfc::CDIB& dest, int left, int top, int width, int height, const lib::wfc::CDIB& source,
              const Piece& piece, int opacity, COLORREF keyColor) {
    if (piece.width <= 0 || piece.height <= 0 || width <= 0 || height <= 0) return;
    const RECT& clip = dest.ClipRect();
    const int right = ExtentBefore(clip.right, left, width);
    const int bottom = ExtentBefore(clip.bottom, top, height);
    for (int y = FirstCopy(clip.top, top, piece.height); y < bottom; y += piece.height) {
        for (int x = FirstCopy(clip.left, left, piece.width); x < right; x += piece.width) {
            const Piece part{piece.sx, piece.sy, std::min(piece.width, width - x), std::min(piece.height, height - y)};
            DrawPiece(dest, left + x, top + y, source, part, opacity, keyColor);
        }
    }
}

}  // namespace

void CResizableDIBHelper::SetNineGridCuts(const std::array<int, 4>& columns, const std::array<int, 4>& rows) noexcept {
    columns_ = columns;
    rows_ = rows;
}

void CResizableDIBHelper::DrawNineGrid(lib::wfc::CDIB& dest, const RECT& rect, const lib::wfc::CDIB& source,
                                       int opacity, COLORREF keyColor, const RECT* clip) const {
    RECT bounds{0, 0, dest.Width(), dest.Height()};
    if (clip && !::IntersectRect(&bounds, &bounds, clip)) return;
    const ClipScope scope(dest, bounds);

    const auto [x0, x1, x2, x3] = columns_;
    const auto [y0, y1, y2, y3] = rows_;
    const int left = x1 - x0, right = x3 - x2, top = y1 - y0, bottom = y3 - y2;
    const int middleWidth = (rect.right - rect.left) - left - right;
    const int middleHeight = (rect.bottom - rect.top) - top - bottom;

    DrawPiece(dest, rect.left, rect.top, source, {x0, y0, left, top}, opacity, keyColor);
    DrawPiece(dest, rect.right - right, rect.top, source, {x2, y0, right, top}, opacity, keyColor);
    DrawPiece(dest, rect.left, rect.bottom - bottom, source, {x0, y2, left, bottom}, opacity, keyColor);
    DrawPiece(dest, rect.right - right, rect.bottom - bottom, source, {x2, y2, right, bottom}, opacity, keyColor);

    const int innerLeft = rect.left + left, innerTop = rect.top + top;
    FillArea(dest, innerLeft, rect.top, middleWidth, top, source, {x1, y0, x2 - x1, top}, opacity, keyColor);
    FillArea(dest, rect.left, innerTop, left, middleHeight, source, {x0, y1, left, y2 - y1}, opacity, keyColor);
    FillArea(dest, rect.right - right, innerTop, right, middleHeight, source, {x2, y1, right, y2 - y1}, opacity,
             keyColor);
    FillArea(dest, innerLeft, rect.bottom - bottom, middleWidth, bottom, source, {x1, y2, x2 - x1, bottom}, opacity,
             keyColor);
    FillArea(dest, innerLeft, innerTop, middleWidth, middleHeight, source, {x1, y1, x2 - x1, y2 - y1}, opacity,
             keyColor);
}

}  // namespace ui
