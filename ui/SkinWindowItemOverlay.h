#pragma once
// A translucent nine-grid frame over its window; the window sets its
// rectangle. It never takes mouse input.
#include <string>

#include "ui/CachedDIB.h"
#include "ui/ResizableDIBHelper.h"
#include "ui/SkinDefinition.h"
#include "ui/SkinWindowItem.h"

namespace ui {

class CSkinWindowItemOverlay : public CSkinWindowItem, public CResizableDIBHelper {
public:
    // Keys: Image (file, x0..x3, y0..y3) and Alpha (0..255).
    CSkinWindowItemOverlay(ISkinWindowItemAccessor& owner, int id, const SkinItemDefinition& definition,
                           CSkinImageList& images);

    bool IsHitTarget() const override;
    void Paint() override;
    void SetItemRect(const RECT& rect) override;
    void OnEnabledChanged() override;

private:
    std::string imageName_;
    int alpha_ = 255;
};

}  // namespace ui
