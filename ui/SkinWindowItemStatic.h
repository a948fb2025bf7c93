#pragma once
// Static text: a word-wrapped text in a rectangle, left, centred or right
// aligned, plain or anti-aliased. It never takes mouse input.
#include <string>

#include "ui/CachedDIB.h"
#include "ui/SkinDefinition.h"
#include "ui/SkinItemText.h"
#include "ui/SkinWindowItem.h"

namespace ui {

class CSkinWindowItemStatic : public CSkinWindowItem {
public:
    // Keys: Position, Size, Font; optional Antialias, Color, Alignment (0
    // centred, 1 right, others left) and Text.
    CSkinWindowItemStatic(ISkinWindowItemAccessor& owner, int id, const SkinItemDefinition& definition,
                          CSkinImageList& images);

    std::string GetToolTipText() const override;
    bool IsHitTarget() const override;
    void Paint() override;
    // Takes the rectangle's position and size.
    void SetItemRect(const RECT& rect) override;
    void OnEnabledChanged() override;
    virtual void DrawPlainText(lib::wfc::CDIB& buffer, const RECT& rect, COLORREF color);
    // False when the anti-aliased renderer could not draw the text.
    virtual bool DrawSmoothText(lib::wfc::CDIB& buffer, const RECT& rect, COLORREF color);

    // Backslash-r-backslash-n in the text becomes a line break.
    void SetText(const std::string& text);
    const std::string& GetText() const noexcept { return text_; }
    void SetTextColor(COLORREF color);
    void SetFormat(UINT format) noexcept { style_.format = format; }
    UINT GetFormat() const noexcept { return style_.format; }
    // The size the text takes when drawn in a box of the item's size.
    SIZE MeasureText(const std::string& text) const;

private:
    std::string text_;
    std::string toolTipText_;
    SkinTextStyle style_;
    // Keeps the font and the last drawing; measuring uses the font too.
    mutable CSkinTextPainter painter_;
};

}  // namespace ui
