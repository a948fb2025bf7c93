#pragma once
// A system icon drawn at the item's top-left corner, made by code rather
// than from the skin. It never takes mouse input.
#include <windows.h>

#include "ui/SkinWindowItem.h"

namespace ui {

class CSkinWindowItemIcon : public CSkinWindowItem {
public:
    // `systemIcon` is an IDI_ value, or null for an empty item of size 0 x 0.
    CSkinWindowItemIcon(ISkinWindowItemAccessor& owner, int id, const char* systemIcon);

    bool IsHitTarget() const override;
    void Paint() override;
    void OnEnabledChanged() override;

private:
    // Shared system icons are not destroyed.
    HICON icon_ = nullptr;
};

}  // namespace ui
