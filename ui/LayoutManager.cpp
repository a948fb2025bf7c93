#include "ui/LayoutManager.h"

#include <algorithm>

#include "ui/SkinWindowItem.h"

namespace ui {

int AnchoredCoordinate(int anchor, int offset, int size, int layout, int current) noexcept {
    switch (anchor) {
    case kAnchorNear: return offset;
    case kAnchorFar: return offset + size;
    case kAnchorCentre: return layout + (size - layout) / 2 + offset;
    default: return current;
    }
}

int AnchorOffset(int anchor, int coordinate, int layout) noexcept {
    switch (anchor) {
    case kAnchorNear: return coordinate;
    case kAnchorFar:
    case kAnchorCentre: return coordinate - layout;
    default: return 0;
    }
}

CLayoutManager::~CLayoutManager() = default;

void CLayoutManager::Relayout(int cx, int cy) {
    const SIZE layout = GetLayoutBaseSize();
    for (const LayoutRule& rule : rules_) {
        CSkinWindowItem* item = FindLayoutItem(rule.id);
        if (!item) continue;
        const RECT now = item->GetRect();
        const RECT moved{AnchoredCoordinate(rule.leftAnchor, rule.leftOffset, cx, layout.cx, now.left),
                         AnchoredCoordinate(rule.topAnchor, rule.topOffset, cy, layout.cy, now.top),
                         AnchoredCoordinate(rule.rightAnchor, rule.rightOffset, cx, layout.cx, now.right),
                         AnchoredCoordinate(rule.bottomAnchor, rule.bottomOffset, cy, layout.cy, now.bottom)};
        if (!::EqualRect(&moved, &now)) item->SetItemRect(moved);
    }
}

void CLayoutManager::SetLayoutRule(int id, int leftAnchor, int topAnchor, int rightAnchor, int bottomAnchor) {
    const CSkinWindowItem* item = FindLayoutItem(id);
    if (!item) return;
    const SIZE layout = GetLayoutBaseSize();
    const RECT rect = item->GetRect();
    const LayoutRule rule{id,
                          leftAnchor,
                          topAnchor,
                          rightAnchor,
                          bottomAnchor,
                          AnchorOffset(leftAnchor, rect.left, layout.cx),
                          AnchorOffset(topAnchor, rect.top, layout.cy),
                          AnchorOffset(rightAnchor, rect.right, layout.cx),
                          AnchorOffset(bottomAnchor, rect.bottom, layout.cy)};
    const auto same = std::find_if(rules_.begin(), rules_.end(), [id](const LayoutRule& own) { return own.id == id; });
    if (same != rules_.end()) {
        *same = rule;
    } else {
        rules_.push_back(rule);
    }
}

}  // namespace ui
