#include "ui/ResizableSkinWindow.h"

#include <algorithm>
#include <vector>

#include "lib/wfc/WorkArea.h"
#include "ui/SkinKeySchema.h"
#include "ui/SkinValues.h"

namespace ui {
namespace {

constexpr SkinParameter I = SkinParameter::Integer;

const std::vector<SkinKeySchema>& ResizableSchemas() {
    static const std::vector<SkinKeySchema> schemas{
        {"BorderWidth", {I}}, {"DivPoint", {I, I, I, I}}, {"MinSize", {I, I}}, {"LayoutSize", {I, I}},
    };
    return schemas;
}

}  // namespace

CResizableSkinWindow::CResizableSkinWindow() = default;

CResizableSkinWindow::~CResizableSkinWindow() = default;

void CResizableSkinWindow::LoadSkin(const SkinItemDefinition& section) {
    CSkinWindow::LoadSkin(section);
    ValidateSkinKeys(section, ResizableSchemas());
    borderWidth_ = SkinIntegerAt(section, "BorderWidth");
    const RECT source = GetImageSourceRect();
    const auto [x0, y0, x1, y1] = SkinFourIntegersAt(section, "DivPoint");
    SetNineGridCuts({source.left, x0, x1, source.right}, {source.top, y0, y1, source.bottom});
    // The corners never shrink; cuts outside the source give no negative minimum.
    minWidth_ = std::max(0, static_cast<int>((x0 - source.left) + (source.right - x1)));
    minHeight_ = std::max(0, static_cast<int>((y0 - source.top) + (source.bottom - y1)));
    const SIZE minimum = SkinSizeAt(section, "MinSize");
    if (minimum.cx != 0) minWidth_ = minimum.cx;
    if (minimum.cy != 0) minHeight_ = minimum.cy;
    SetLayoutSize(SkinSizeAt(section, "LayoutSize"));
}

SIZE CResizableSkinWindow::GetLayoutSize() { return LayoutSize(); }

RECT CResizableSkinWindow::GetLayoutRect() {
    const SIZE layout = GetLayoutSize();
    return RECT{0, 0, std::max<LONG>(layout.cx, minWidth_), std::max<LONG>(layout.cy, minHeight_)};
}

CSkinWindowItem* CResizableSkinWindow::FindLayoutItem(int id) { return FindItem(id); }

SIZE CResizableSkinWindow::GetLayoutBaseSize() { return GetLayoutSize(); }

void CResizableSkinWindow::RemoveAllItems() {
    CSkinWindow::RemoveAllItems();
    ClearLayoutRules();
}

void CResizableSkinWindow::DrawBackground(int x, int y, lib::wfc::CDIB& buffer, const lib::wfc::CDIB& image,
                                          const RECT* clip) {
    // The grid resets the buffer's clip to its own; it must not draw beyond the one in force.
    RECT area = buffer.ClipRect();
    if (clip && !::IntersectRect(&area, &area, clip)) return;
    DrawNineGrid(buffer, RECT{x, y, buffer.Width(), buffer.Height()}, image, 255, lib::wfc::CDIB::kNoKey, &area);
}

bool CResizableSkinWindow::RebuildBackBuffer(UINT type, int cx, int cy) {
    Relayout(cx, cy);
    return CSkinWindow::RebuildBackBuffer(type, cx, cy);
}

// --- Resizing -----------------------------------------------------------

bool CResizableSkinWindow::IsMaximized() const {
    return (::GetWindowLongA(GetHandle(), GWL_STYLE) & WS_MAXIMIZE) != 0;
}

int CResizableSkinWindow::ResizeZoneOf(POINT point) const {
    if (ItemAt(point)) return kZoneClient;
    const RECT client = GetClientRect();
    return ResizeZoneAt(point.x, point.y, client.right, client.bottom, borderWidth_, GetCaptionHeight());
}

LRESULT CResizableSkinWindow::OnNcHitTest(int x, int y) {
    const int zone = ResizeZoneOf(ScreenToClient(POINT{x, y}));
    if (IsSizingZone(zone)) return HTCLIENT;
    if (zone == kZoneCaption) return HTCAPTION;
    return CSkinWindow::OnNcHitTest(x, y);
}

bool CResizableSkinWindow::OnSetCursor(LPARAM hitTestAndMessage) {
    if (resizable_ && !IsMaximized()) {
        if (const char* cursor = CursorOfZone(ResizeZoneOf(CursorClientPoint()))) {
            ::SetCursor(::LoadCursorA(nullptr, cursor));
            return true;
        }
    }
    return CSkinWindow::OnSetCursor(hitTestAndMessage);
}

void CResizableSkinWindow::OnLButtonDown(UINT keys, int x, int y) {
    const int zone = ResizeZoneOf(POINT{x, y});
    if (!resizable_ || !IsSizingZone(zone) || IsMaximized() || IsResizing()) {
        CSkinWindow::OnLButtonDown(keys, x, y);
        return;
    }
    startMouse_ = POINT{x, y};
    ::ClientToScreen(GetHandle(), &startMouse_);
    startRect_ = GetWindowRect();
    limits_ = ResizeLimitsFor(zone, startRect_, minWidth_, minHeight_);
    zone_ = zone;
    ::SetCapture(GetHandle());
}

void CResizableSkinWindow::TrackResize(POINT screenPoint) {
    RECT rect = ResizedRect(zone_, startRect_, screenPoint.x - startMouse_.x, screenPoint.y - startMouse_.y, limits_);
    SendMessage(WM_SIZING, SizingEdgeOfZone(zone_), reinterpret_cast<LPARAM>(&rect));
    const RECT now = GetWindowRect();
    if (!::EqualRect(&rect, &now)) {
        ::SetWindowPos(GetHandle(), nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                       SWP_NOOWNERZORDER | SWP_NOCOPYBITS | SWP_NOACTIVATE | SWP_NOZORDER);
    }
}

void CResizableSkinWindow::OnMouseMove(UINT keys, int x, int y) {
    if (!IsResizing()) {
        CSkinWindow::OnMouseMove(keys, x, y);
        return;
    }
    POINT point{x, y};
    ::ClientToScreen(GetHandle(), &point);
    TrackResize(point);
}

void CResizableSkinWindow::OnLButtonUp(UINT keys, int x, int y) {
    if (!IsResizing()) {
        CSkinWindow::OnLButtonUp(keys, x, y);
        return;
    }
    POINT point{x, y};
    ::ClientToScreen(GetHandle(), &point);
    TrackResize(point);
    // Ended before the capture goes, so that losing it does not count as an abort.
    zone_ = kZoneNone;
    if (::GetCapture() == GetHandle()) ::ReleaseCapture();
    SendMessage(WM_EXITSIZEMOVE, 0, 0);
}

void CResizableSkinWindow::OnCaptureChanged(HWND newCapture) {
    if (IsResizing() && newCapture != GetHandle()) zone_ = kZoneNone;
    CSkinWindow::OnCaptureChanged(newCapture);
}

bool CResizableSkinWindow::OnSizing(UINT edge, RECT* rect) {
    if (!rect || edge < WMSZ_LEFT || edge > WMSZ_BOTTOMRIGHT) return CSkinWindow::OnSizing(edge, rect);
    const int width = std::min<LONG>(rect->right - rect->left, ::GetSystemMetrics(SM_CXMAXTRACK));
    const int height = std::min<LONG>(rect->bottom - rect->top, ::GetSystemMetrics(SM_CYMAXTRACK));
    if (edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT) rect->left = rect->right - width;
    if (edge == WMSZ_RIGHT || edge == WMSZ_TOPRIGHT || edge == WMSZ_BOTTOMRIGHT) rect->right = rect->left + width;
    if (edge == WMSZ_TOP || edge == WMSZ_TOPLEFT || edge == WMSZ_TOPRIGHT) rect->top = rect->bottom - height;
    if (edge == WMSZ_BOTTOM || edge == WMSZ_BOTTOMLEFT || edge == WMSZ_BOTTOMRIGHT) rect->bottom = rect->top + height;
    return true;
}

void CResizableSkinWindow::OnExitSizeMove() {
    lib::wfc::KeepWindowOnScreen(GetHandle());
    DefaultProc();
}

}  // namespace ui
