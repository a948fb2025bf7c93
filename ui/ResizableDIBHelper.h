#pragma once
// Nine-grid drawing: an image cut by four columns and four rows into corners,
// edges and a centre is drawn into any rectangle; corners stay unscaled and
// edges and centre are filled by repeating their piece, never stretched.
#include <windows.h>

#include <array>

#include "lib/wfc/DIB.h"

namespace ui {

class CResizableDIBHelper {
public:
    virtual ~CResizableDIBHelper() = default;

    // Columns x0 <= x1 <= x2 <= x3 and rows y0 <= y1 <= y2 <= y3 of the source image.
    void SetNineGridCuts(const std::array<int, 4>& columns, const std::array<int, 4>& rows) noexcept;
    const std::array<int, 4>& Columns() const noexcept { return columns_; }
    const std::array<int, 4>& Rows() const noexcept { return rows_; }

    // Draws the grid from `source` into `dest` over `rect`, each piece with
    // the constant opacity and colour key (CDIB::kNoKey for none), limited to
    // `clip` (null: the whole of dest).
    void DrawNineGrid(lib::wfc::CDIB& dest, const RECT& rect, const lib::wfc::CDIB& source, int opacity,
                      COLORREF keyColor, const RECT* clip) const;

private:
    std::array<int, 4> columns_{};
    std::array<int, 4> rows_{};
};

}  // namespace ui
