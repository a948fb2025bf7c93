#pragma once
// Moves a window's items when its client size changes. Each rule anchors the
// four edges of one item: to the left (top) edge, the right (bottom) edge or
// the centre of the window, or leaves the edge where it is.
#include <windows.h>

#include <vector>

namespace ui {

class CSkinWindowItem;

// What an edge of an item keeps when the window changes size.
enum LayoutAnchor : int {
    kAnchorKeep = 0,    // the coordinate stays
    kAnchorNear = 1,    // fixed distance from the left (top) edge
    kAnchorFar = 2,     // fixed distance from the right (bottom) edge
    kAnchorCentre = 3,  // moves by half of the size change
};

// Nine ints, in this order: the item, its four anchors, its four offsets.
struct LayoutRule {
    int id;
    int leftAnchor, topAnchor, rightAnchor, bottomAnchor;
    int leftOffset, topOffset, rightOffset, bottomOffset;
};

// The coordinate an anchored edge takes in a window `size` wide (or high)
// that was laid out for `layout`; `current` is kept by kAnchorKeep and by
// anchors this system does not know.
int AnchoredCoordinate(int anchor, int offset, int size, int layout, int current) noexcept;
// The offset that keeps `coordinate` where it is at the layout size.
int AnchorOffset(int anchor, int coordinate, int layout) noexcept;

class CLayoutManager {
public:
    CLayoutManager() = default;
    CLayoutManager(const CLayoutManager&) = delete;
    CLayoutManager& operator=(const CLayoutManager&) = delete;

    virtual ~CLayoutManager();
    // Applies every rule, in order, for a client area of cx x cy.
    virtual void Relayout(int cx, int cy);
    virtual CSkinWindowItem* FindLayoutItem(int id) = 0;
    // The size the items' positions were designed for.
    virtual SIZE GetLayoutBaseSize() = 0;

    // Anchors the item as it stands now (at the layout size), replacing its
    // earlier rule. An id without an item makes no rule.
    void SetLayoutRule(int id, int leftAnchor, int topAnchor, int rightAnchor, int bottomAnchor);
    void ClearLayoutRules() noexcept { rules_.clear(); }
    const std::vector<LayoutRule>& LayoutRules() const noexcept { return rules_; }

    void SetLayoutSize(SIZE size) noexcept { layoutSize_ = size; }
    SIZE LayoutSize() const noexcept { return layoutSize_; }

private:
    std::vector<LayoutRule> rules_;
    SIZE layoutSize_{};
};

}  // namespace ui
