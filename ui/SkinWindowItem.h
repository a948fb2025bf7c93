#pragma once
// One rectangle of a skinned window with its own state, painting and mouse
// behaviour. Coordinates given to the mouse handlers are relative to the
// item's top-left corner; the rectangle is in window client coordinates.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "ui/SkinWindowItemAccessor.h"

namespace ui {

// Where an item's tool stands with the window's tooltip control.
enum class TooltipState { None = -1, ToRegister = 0, Registered = 1, ToRemove = 2 };

class CSkinWindowItem {
public:
    CSkinWindowItem(ISkinWindowItemAccessor& owner, int id);
    CSkinWindowItem(const CSkinWindowItem&) = delete;
    CSkinWindowItem& operator=(const CSkinWindowItem&) = delete;

    virtual ~CSkinWindowItem();
    virtual bool IsEnabled() const;
    virtual std::string GetToolTipText() const;
    // Takes part in hit-testing for the mouse and tooltips.
    virtual bool IsHitTarget() const;
    virtual int OnItemCommand(int code, WPARAM wParam, LPARAM lParam);
    virtual void OnMouseMove(int x, int y);
    // True asks the window to capture the mouse for this item.
    virtual bool OnLButtonDown(int x, int y);
    virtual bool OnLButtonDblClk(int x, int y);
    virtual void OnLButtonUp(int x, int y);
    // The capture was lost while the left button was held.
    virtual void OnLButtonCancel(int x, int y);
    virtual bool OnRButtonDown(int x, int y);
    virtual bool OnRButtonDblClk(int x, int y);
    virtual void OnRButtonUp(int x, int y);
    virtual void OnRButtonCancel(int x, int y);
    virtual void OnMouseLeave();
    // True when the item set the cursor.
    virtual bool OnSetCursor(int x, int y);
    // The window's animation tick, with the GetTickCount value.
    virtual void OnTimer(DWORD tickCount);
    virtual void OnWindowCreated(HWND window, WPARAM wParam, LPARAM lParam);
    virtual void OnSetFocus();
    virtual void OnKillFocus();
    // The focused item sees every message of its window first; true returns *result.
    virtual bool PreTranslateMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // Draws the item into the owner's back buffer.
    virtual void Paint();
    // Moves to the rectangle's top-left corner; the size stays.
    virtual void SetItemRect(const RECT& rect);
    virtual void OnEnabledChanged();
    virtual void OnVisibleChanged();

    int GetId() const noexcept { return id_; }
    int X() const noexcept { return x_; }
    int Y() const noexcept { return y_; }
    int Width() const noexcept { return width_; }
    int Height() const noexcept { return height_; }
    RECT GetRect() const noexcept { return RECT{x_, y_, x_ + width_, y_ + height_}; }
    bool Contains(POINT clientPoint) const noexcept;

    bool IsVisible() const noexcept { return visible_; }
    // Redraws the item's rectangle when the value changes.
    void SetVisible(bool visible);
    void SetEnabled(bool enabled);

    // These only store; the caller redraws.
    void SetPosition(int x, int y) noexcept;
    void SetSize(int width, int height) noexcept;
    void SetRect(int left, int top, int right, int bottom) noexcept;

    // Null puts the tool back on asking GetToolTipText.
    virtual void SetToolTipText(const char* text);
    TOOLINFOA& ToolInfo() noexcept { return tooltip_; }
    TooltipState GetTooltipState() const noexcept { return tooltipState_; }
    void SetTooltipState(TooltipState state) noexcept { tooltipState_ = state; }

protected:
    ISkinWindowItemAccessor& Owner() const noexcept { return owner_; }
    // Has the owner compose and invalidate the item's rectangle.
    void Invalidate();

    bool enabled_ = true;

private:
    ISkinWindowItemAccessor& owner_;
    int id_;
    int x_ = 0;
    int y_ = 0;
    int width_ = 0;
    int height_ = 0;
    bool visible_ = true;
    TOOLINFOA tooltip_{};
    std::string tooltipText_;
    TooltipState tooltipState_ = TooltipState::ToRegister;
};

// The colour a disabled item shows for `color`: its grey plus 40 % of white.
COLORREF DisabledColor(COLORREF color) noexcept;

}  // namespace ui
