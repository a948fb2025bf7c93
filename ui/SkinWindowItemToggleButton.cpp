#include "ui/SkinWindowItemToggleButton.h"

namespace ui {

CSkinWindowItemToggleButton::CSkinWindowItemToggleButton(ISkinWindowItemAccessor& owner, int id,
                                                         const SkinItemDefinition& definition,
                                                         CSkinImageList& images)
    : CSkinWindowItemButton(owner, id, definition, images) {}

int CSkinWindowItemToggleButton::OnItemCommand(int code, WPARAM wParam, LPARAM lParam) {
    if (code != kButtonSetChecked) return CSkinWindowItemButton::OnItemCommand(code, wParam, lParam);
    // Stored even when unchanged, so that the pushed look is put right too.
    if (!pressed_) {
        pushed_ = wParam != 0;
        StoreChecked(wParam != 0);
    }
    return 0;
}

void CSkinWindowItemToggleButton::OnMouseMove(int x, int y) {
    if (!enabled_) return;
    if (!pressed_) {
        SetDrawnState(pushed_, Inside(x, y));
    } else if (Inside(x, y)) {
        SetDrawnState(checked_ ? pushed_ : true, false);
    } else {
        SetDrawnState(checked_, true);
    }
}

void CSkinWindowItemToggleButton::EndPress(int x, int y, bool click) {
    pressed_ = false;
    const bool inside = Inside(x, y);
    if (!click) {
        SetDrawnState(checked_, inside);
        return;
    }
    if (inside && toggleAllowed_) OnItemCommand(kButtonSetChecked, checked_ ? 0 : 1, 0);
    pushed_ = checked_;
    hot_ = inside;
    Invalidate();
    if (inside) Notify(kButtonClicked);
}

}  // namespace ui
