#pragma once
// An image from the skin, centred, tiled or stretched over the item, with an
// optional caption. It tells its window about mouse moves (14), left button
// presses (12) and the mouse leaving (15), without capturing the mouse.
#include <string>

#include "ui/CachedDIB.h"
#include "ui/SkinDefinition.h"
#include "ui/SkinItemText.h"
#include "ui/SkinWindowItem.h"

namespace ui {

class CSkinWindowItemStaticImage : public CSkinWindowItem {
public:
    // Keys: Position, Size, Image (file and source left, top, right, bottom);
    // optional ToolTipText, Tile and the caption keys.
    CSkinWindowItemStaticImage(ISkinWindowItemAccessor& owner, int id, const SkinItemDefinition& definition,
                               CSkinImageList& images);

    std::string GetToolTipText() const override;
    bool IsHitTarget() const override;
    void OnMouseMove(int x, int y) override;
    bool OnLButtonDown(int x, int y) override;
    void OnMouseLeave() override;
    void Paint() override;
    void SetItemRect(const RECT& rect) override;
    void OnEnabledChanged() override;
    void SetToolTipText(const char* text) override;

    void SetStretch(bool stretch) noexcept { stretch_ = stretch; }
    void SetHitTarget(bool hitTarget) noexcept { hitTarget_ = hitTarget; }

private:
    std::string imageName_;
    RECT source_{};
    std::string toolTipText_;
    SkinItemCaption caption_;
    bool tile_ = false;
    bool stretch_ = false;
    bool hitTarget_ = true;
};

}  // namespace ui
