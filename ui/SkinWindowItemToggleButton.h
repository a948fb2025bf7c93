#pragma once
// A two-state button whose pushed look follows its checked state: a click
// flips checked (while toggling is allowed) and the button stays pushed in
// while checked. It tells its owner only about the click.
#include "ui/SkinWindowItemButton.h"

namespace ui {

class CSkinWindowItemToggleButton : public CSkinWindowItemButton {
public:
    CSkinWindowItemToggleButton(ISkinWindowItemAccessor& owner, int id, const SkinItemDefinition& definition,
                                CSkinImageList& images);

    int OnItemCommand(int code, WPARAM wParam, LPARAM lParam) override;
    void OnMouseMove(int x, int y) override;

protected:
    void EndPress(int x, int y, bool click) override;
};

}  // namespace ui
