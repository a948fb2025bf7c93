#pragma once
// A window object over a Win32 window. Every framework window shares one
// window procedure (WindowDispatch) that routes each message to one of the
// virtual handlers below; a handler that wants the system's default
// processing calls DefaultProc from inside that dispatch.
//
// The creator owns the object and keeps it alive until WM_NCDESTROY has
// passed; the object never destroys its window (deleting a still-bound
// object only detaches it).
#include <windows.h>
#include <imm.h>
#include <shellapi.h>

#include <vector>

#include "lib/wfc/WheelAccumulator.h"
#include "lib/wfc/WindowPolicy.h"

namespace lib::wfc {

class CWindow : public CWindowPolicy {
public:
    CWindow() = default;
    CWindow(const CWindow&) = delete;
    CWindow& operator=(const CWindow&) = delete;

    // The handlers, in this order (the order is the object's virtual table).
    ~CWindow() override;
    virtual HWND GetRootWindow();
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual bool OnCreate(CREATESTRUCTA* create);
    virtual void OnDestroy();
    virtual void OnMove(int x, int y);
    virtual void OnSize(UINT type, int cx, int cy);
    virtual void OnActivate(UINT state, HWND otherWindow);
    virtual void OnDevModeChange(LPARAM deviceName);
    virtual void OnSetFocus(HWND previous);
    virtual void OnKillFocus(HWND next);
    virtual void OnEnable(bool enabled);
    virtual void OnPaint();
    virtual void OnClose();
    virtual bool OnQueryEndSession(LPARAM reason);
    virtual bool OnQueryOpen();
    virtual void OnEndSession(bool ending, LPARAM reason);
    virtual bool OnEraseBkgnd(HDC dc);
    virtual void OnShowWindow(bool show, UINT status);
    virtual void OnSettingChange(WPARAM flag, LPARAM area);
    virtual void OnActivateApp(bool active, DWORD threadId);
    virtual bool OnSetCursor(LPARAM hitTestAndMessage);
    virtual bool OnDrawItem(UINT id, DRAWITEMSTRUCT* draw);
    virtual bool OnMeasureItem(UINT id, MEASUREITEMSTRUCT* measure);
    virtual void OnMouseMove(UINT keys, int x, int y);
    virtual void OnLButtonDown(UINT keys, int x, int y);
    virtual void OnLButtonUp(UINT keys, int x, int y);
    virtual void OnLButtonDblClk(UINT keys, int x, int y);
    virtual void OnRButtonDown(UINT keys, int x, int y);
    virtual void OnRButtonUp(UINT keys, int x, int y);
    virtual void OnRButtonDblClk(UINT keys, int x, int y);
    virtual void OnMouseWheel(UINT keys, int delta, int x, int y);
    virtual void OnMouseHover();
    virtual void OnMouseLeave();
    virtual void OnCaptureChanged(HWND newCapture);
    virtual void OnParentNotify(UINT event, UINT childId, LPARAM lParam);
    virtual bool OnSizing(UINT edge, RECT* rect);
    virtual void OnMoving(RECT* rect);
    // True when handled, with the answer in *result; false asks for default processing.
    virtual bool OnNotify(int id, NMHDR* header, LRESULT* result);
    virtual void OnDisplayChange(UINT bitsPerPixel, UINT cx, UINT cy);
    virtual bool OnNcCreate(CREATESTRUCTA* create);
    virtual void OnNcDestroy();
    virtual void OnNcCalcSize(WPARAM calcValidRects, LPARAM params);
    virtual LRESULT OnNcHitTest(int x, int y);
    virtual void OnNcPaint();
    virtual bool OnNcActivate(bool active);
    virtual void OnNcMouseMove(UINT hitTest, int x, int y);
    virtual void OnNcLButtonDown(UINT hitTest, int x, int y);
    virtual void OnNcLButtonUp(UINT hitTest, int x, int y);
    virtual void OnNcLButtonDblClk(UINT hitTest, int x, int y);
    virtual void OnNcRButtonDown(UINT hitTest, int x, int y);
    virtual void OnNcRButtonUp(UINT hitTest, int x, int y);
    virtual void OnNcRButtonDblClk(UINT hitTest, int x, int y);
    virtual void OnNcMButtonDown(UINT hitTest, int x, int y);
    virtual void OnNcMButtonUp(UINT hitTest, int x, int y);
    virtual void OnNcMButtonDblClk(UINT hitTest, int x, int y);
    virtual void OnKeyDown(UINT vk, LPARAM flags);
    virtual void OnKeyUp(UINT vk, LPARAM flags);
    virtual void OnChar(UINT code, LPARAM flags);
    // Not routed: WM_UNICHAR goes to default processing.
    virtual void OnUniChar(UINT code, UINT reserved, LPARAM flags);
    virtual void OnSysKeyDown(UINT vk, LPARAM flags);
    virtual void OnSysKeyUp(UINT vk, LPARAM flags);
    virtual bool OnInitDialog();
    virtual void OnCommand(UINT id, UINT code, HWND control);
    virtual void OnSysCommand(UINT command, LPARAM lParam);
    virtual void OnTimer(UINT_PTR id);
    virtual void OnHScroll(UINT code, UINT position, HWND control);
    virtual void OnVScroll(UINT code, UINT position, HWND control);
    virtual LRESULT OnPowerBroadcast(UINT event, LPARAM data);
    virtual void OnEnterSizeMove();
    virtual void OnExitSizeMove();
    virtual void OnDropFiles(HDROP drop);
    virtual void OnGetMinMaxInfo(MINMAXINFO* info);
    virtual void OnTaskbarCreated();
    // Whole wheel notches of 40 delta units; a roll away from the user gives a negative count.
    virtual void OnMouseWheelNotch(UINT keys, int notches, int x, int y);
    // Default processing of the message being dispatched on this thread.
    virtual LRESULT DefaultProc();
    virtual bool OnReflectedDrawItem(DRAWITEMSTRUCT* draw);
    virtual bool OnReflectedMeasureItem(MEASUREITEMSTRUCT* measure);

    // Creates the window bound to this object (null class name: the default
    // class). Failure throws lib::wfc::bad_alloc, as does OnCreate answering
    // false or throwing.
    void Create(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y,
                int width, int height, HMENU menuOrId);
    void Create(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y,
                int width, int height, HWND parent, HMENU menuOrId);
    // Unbinds the window from this object and returns its handle.
    HWND Detach() noexcept;

    HWND GetHandle() const noexcept { return hwnd_; }

    bool ShowWindow(int command);
    bool UpdateWindow();
    bool MoveWindow(int x, int y, int width, int height, bool repaint);
    bool InvalidateRect(const RECT* rect, bool erase);
    UINT_PTR SetTimer(UINT_PTR id, UINT milliseconds);
    bool KillTimer(UINT_PTR id);
    RECT GetClientRect() const;
    RECT GetWindowRect() const;
    LRESULT SendMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool PostMessage(UINT message, WPARAM wParam, LPARAM lParam);
    HWND GetDlgItem(int id) const;
    POINT ScreenToClient(POINT point) const;
    // Returns the icon the window had before.
    HICON SetIcon(HICON icon, bool big);
    void CenterWindow(HWND relativeTo);
    // false detaches the window's input context (no IME in it); true puts it back.
    void EnableIme(bool enable);

private:
    friend LRESULT CALLBACK FrameworkWindowProc(HWND, UINT, WPARAM, LPARAM);

    LRESULT _OnInternalMessage(WPARAM command, LPARAM lParam);
    void _ActivateGroup(bool active, HWND otherWindow);
    void _EnableGroup(bool enable);

    HWND hwnd_ = nullptr;
    std::vector<HWND> groupWindows_;
    WheelAccumulator wheel_;
    HIMC savedImeContext_ = nullptr;
};

}  // namespace lib::wfc
