#pragma once
// A skin window whose background stretches as a nine-part image, with a
// minimum size, resizing by its own edges and corners (the windows have no
// system frame) and a layout manager that moves items with the client size.
#include <windows.h>

#include "ui/LayoutManager.h"
#include "ui/ResizableDIBHelper.h"
#include "ui/ResizeZone.h"
#include "ui/SkinWindow.h"

namespace ui {

class CResizableSkinWindow : public CSkinWindow, public CLayoutManager, public CResizableDIBHelper {
public:
    CResizableSkinWindow();
    ~CResizableSkinWindow() override;

    bool OnSetCursor(LPARAM hitTestAndMessage) override;
    void OnMouseMove(UINT keys, int x, int y) override;
    void OnLButtonDown(UINT keys, int x, int y) override;
    void OnLButtonUp(UINT keys, int x, int y) override;
    // Keeps a dragged rectangle within the largest window the system allows.
    bool OnSizing(UINT edge, RECT* rect) override;
    // Border zones are the window's own (it sizes itself); the grip strip is a caption.
    LRESULT OnNcHitTest(int x, int y) override;
    // Brings the window back onto a monitor when a resize or move left it off every one.
    void OnExitSizeMove() override;
    // A resize whose capture is taken away ends where it is.
    void OnCaptureChanged(HWND newCapture) override;

    SIZE GetLayoutSize() override;
    // The layout size, at least the minimum size.
    RECT GetLayoutRect() override;
    // Base keys as for any skin window, and BorderWidth, DivPoint, MinSize, LayoutSize.
    void LoadSkin(const SkinItemDefinition& section) override;
    void RemoveAllItems() override;
    void DrawBackground(int x, int y, lib::wfc::CDIB& buffer, const lib::wfc::CDIB& image, const RECT* clip) override;
    // Lays the items out for the new size first.
    bool RebuildBackBuffer(UINT type, int cx, int cy) override;

    CSkinWindowItem* FindLayoutItem(int id) override;
    SIZE GetLayoutBaseSize() override;

    // Windows call it in their constructor; resizing starts enabled.
    void SetResizable(bool resizable) noexcept { resizable_ = resizable; }
    bool IsResizable() const noexcept { return resizable_; }
    int GetBorderWidth() const noexcept { return borderWidth_; }
    SIZE GetMinimumSize() const noexcept { return SIZE{minWidth_, minHeight_}; }
    bool IsResizing() const noexcept { return zone_ != kZoneNone; }

    // The zone of a client point: over an item the client, else by the zone table.
    int ResizeZoneOf(POINT clientPoint) const;

private:
    bool IsMaximized() const;
    // Moves the dragged edges to follow the mouse at `screenPoint`.
    void TrackResize(POINT screenPoint);

    int borderWidth_ = 0;
    int minWidth_ = 0;
    int minHeight_ = 0;
    bool resizable_ = true;
    int zone_ = kZoneNone;
    POINT startMouse_{};
    RECT startRect_{};
    ResizeLimits limits_{};
};

}  // namespace ui
