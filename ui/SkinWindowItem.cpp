#include "ui/SkinWindowItem.h"

#include <algorithm>

namespace ui {

CSkinWindowItem::CSkinWindowItem(ISkinWindowItemAccessor& owner, int id) : owner_(owner), id_(id) {
    tooltip_.cbSize = sizeof(tooltip_);
    tooltip_.lpszText = LPSTR_TEXTCALLBACKA;
}

CSkinWindowItem::~CSkinWindowItem() = default;

bool CSkinWindowItem::IsEnabled() const { return enabled_; }
std::string CSkinWindowItem::GetToolTipText() const { return std::string(); }
bool CSkinWindowItem::IsHitTarget() const { return true; }
int CSkinWindowItem::OnItemCommand(int, WPARAM, LPARAM) { return 0; }
void CSkinWindowItem::OnMouseMove(int, int) {}
bool CSkinWindowItem::OnLButtonDown(int, int) { return false; }
bool CSkinWindowItem::OnLButtonDblClk(int x, int y) { return OnLButtonDown(x, y); }
void CSkinWindowItem::OnLButtonUp(int, int) {}
void CSkinWindowItem::OnLButtonCancel(int x, int y) { OnLButtonUp(x, y); }
bool CSkinWindowItem::OnRButtonDown(int, int) { return false; }
bool CSkinWindowItem::OnRButtonDblClk(int x, int y) { return OnRButtonDown(x, y); }
void CSkinWindowItem::OnRButtonUp(int, int) {}
void CSkinWindowItem::OnRButtonCancel(int x, int y) { OnRButtonUp(x, y); }
void CSkinWindowItem::OnMouseLeave() {}
bool CSkinWindowItem::OnSetCursor(int, int) { return false; }
void CSkinWindowItem::OnTimer(DWORD) {}
void CSkinWindowItem::OnWindowCreated(HWND, WPARAM, LPARAM) {}
void CSkinWindowItem::OnSetFocus() {}
void CSkinWindowItem::OnKillFocus() {}
bool CSkinWindowItem::PreTranslateMessage(UINT, WPARAM, LPARAM, LRESULT*) { return false; }
void CSkinWindowItem::Paint() {}
void CSkinWindowItem::SetItemRect(const RECT& rect) { SetPosition(rect.left, rect.top); }
void CSkinWindowItem::OnEnabledChanged() {}
void CSkinWindowItem::OnVisibleChanged() {}

bool CSkinWindowItem::Contains(POINT point) const noexcept {
    return point.x >= x_ && point.x < x_ + width_ && point.y >= y_ && point.y < y_ + height_;
}

void CSkinWindowItem::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    OnVisibleChanged();
    owner_.RedrawRect(GetRect(), false);
}

void CSkinWindowItem::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    OnEnabledChanged();
}

void CSkinWindowItem::SetPosition(int x, int y) noexcept {
    x_ = x;
    y_ = y;
}

void CSkinWindowItem::SetSize(int width, int height) noexcept {
    width_ = width;
    height_ = height;
}

void CSkinWindowItem::SetRect(int left, int top, int right, int bottom) noexcept {
    SetPosition(left, top);
    SetSize(right - left, bottom - top);
}

void CSkinWindowItem::SetToolTipText(const char* text) {
    if (text) {
        tooltipText_ = text;
        tooltip_.lpszText = &tooltipText_[0];
    } else {
        tooltip_.lpszText = LPSTR_TEXTCALLBACKA;
    }
    if (owner_.IsWindowReady()) owner_.UpdateItemTooltip(*this);
}

void CSkinWindowItem::Invalidate() { owner_.RedrawRect(GetRect(), false); }

COLORREF DisabledColor(COLORREF color) noexcept {
    const int grey = (306 * GetRValue(color) + 600 * GetGValue(color) + 117 * GetBValue(color)) >> 10;
    const auto channel = static_cast<BYTE>(std::clamp(grey + 102, 0, 255));
    return RGB(channel, channel, channel);
}

}  // namespace ui
