// What CWindow's handlers do when a derived window does not override them:
// mostly the system's default processing of the message being dispatched.
#include "lib/wfc/Framework.h"
#include "lib/wfc/InternalMessage.h"
#include "lib/wfc/Window.h"

namespace lib::wfc {

bool CWindow::OnCreate(CREATESTRUCTA*) { return true; }
void CWindow::OnDestroy() { DefaultProc(); }
void CWindow::OnMove(int, int) { DefaultProc(); }
void CWindow::OnSize(UINT, int, int) { DefaultProc(); }

void CWindow::OnActivate(UINT state, HWND otherWindow) {
    GroupActivation activation{state != WA_INACTIVE, otherWindow};
    ::SendMessageA(hwnd_, GetInternalMessage(), kGroupActivation, reinterpret_cast<LPARAM>(&activation));
    DefaultProc();
}

void CWindow::OnDevModeChange(LPARAM) {}
void CWindow::OnSetFocus(HWND) { DefaultProc(); }
void CWindow::OnKillFocus(HWND) { DefaultProc(); }

void CWindow::OnEnable(bool enabled) {
    ::SendMessageA(hwnd_, GetInternalMessage(), kGroupEnable, enabled);
    DefaultProc();
}

void CWindow::OnPaint() { DefaultProc(); }
void CWindow::OnClose() { DefaultProc(); }
bool CWindow::OnQueryEndSession(LPARAM) { return DefaultProc() != 0; }
bool CWindow::OnQueryOpen() { return DefaultProc() != 0; }
void CWindow::OnEndSession(bool, LPARAM) { DefaultProc(); }
bool CWindow::OnEraseBkgnd(HDC) { return DefaultProc() != 0; }
void CWindow::OnShowWindow(bool, UINT) { DefaultProc(); }
void CWindow::OnSettingChange(WPARAM, LPARAM) { DefaultProc(); }
void CWindow::OnActivateApp(bool, DWORD) { DefaultProc(); }
bool CWindow::OnSetCursor(LPARAM) { return DefaultProc() != 0; }
bool CWindow::OnDrawItem(UINT, DRAWITEMSTRUCT*) { return DefaultProc() != 0; }
bool CWindow::OnMeasureItem(UINT, MEASUREITEMSTRUCT*) { return DefaultProc() != 0; }
void CWindow::OnMouseMove(UINT, int, int) { DefaultProc(); }
void CWindow::OnLButtonDown(UINT, int, int) { DefaultProc(); }
void CWindow::OnLButtonUp(UINT, int, int) { DefaultProc(); }
void CWindow::OnLButtonDblClk(UINT, int, int) { DefaultProc(); }
void CWindow::OnRButtonDown(UINT, int, int) { DefaultProc(); }
void CWindow::OnRButtonUp(UINT, int, int) { DefaultProc(); }
void CWindow::OnRButtonDblClk(UINT, int, int) { DefaultProc(); }
void CWindow::OnMouseWheel(UINT, int, int, int) { DefaultProc(); }
void CWindow::OnMouseHover() { DefaultProc(); }
void CWindow::OnMouseLeave() { DefaultProc(); }
void CWindow::OnCaptureChanged(HWND) { DefaultProc(); }
void CWindow::OnParentNotify(UINT, UINT, LPARAM) { DefaultProc(); }
bool CWindow::OnSizing(UINT, RECT*) { return DefaultProc() != 0; }
void CWindow::OnMoving(RECT*) { DefaultProc(); }
bool CWindow::OnNotify(int, NMHDR*, LRESULT*) { return false; }
void CWindow::OnDisplayChange(UINT, UINT, UINT) { DefaultProc(); }
bool CWindow::OnNcCreate(CREATESTRUCTA*) { return DefaultProc() != 0; }
void CWindow::OnNcDestroy() { DefaultProc(); }
void CWindow::OnNcCalcSize(WPARAM, LPARAM) { DefaultProc(); }
LRESULT CWindow::OnNcHitTest(int, int) { return DefaultProc(); }
void CWindow::OnNcPaint() { DefaultProc(); }
bool CWindow::OnNcActivate(bool) { return DefaultProc() != 0; }
void CWindow::OnNcMouseMove(UINT, int, int) { DefaultProc(); }
void CWindow::OnNcLButtonDown(UINT, int, int) { DefaultProc(); }
void CWindow::OnNcLButtonUp(UINT, int, int) { DefaultProc(); }
void CWindow::OnNcLButtonDblClk(UINT, int, int) { DefaultProc(); }
void CWindow::OnNcRButtonDown(UINT, int, int) { DefaultProc(); }
void CWindow::OnNcRButtonUp(UINT, int, int) { DefaultProc(); }
void CWindow::OnNcRButtonDblClk(UINT, int, int) { DefaultProc(); }
void CWindow::OnNcMButtonDown(UINT, int, int) { DefaultProc(); }
void CWindow::OnNcMButtonUp(UINT, int, int) { DefaultProc(); }
void CWindow::OnNcMButtonDblClk(UINT, int, int) { DefaultProc(); }
void CWindow::OnKeyDown(UINT, LPARAM) { DefaultProc(); }
void CWindow::OnKeyUp(UINT, LPARAM) { DefaultProc(); }
void CWindow::OnChar(UINT, LPARAM) { DefaultProc(); }
void CWindow::OnUniChar(UINT, UINT, LPARAM) { DefaultProc(); }
void CWindow::OnSysKeyDown(UINT, LPARAM) { DefaultProc(); }
void CWindow::OnSysKeyUp(UINT, LPARAM) { DefaultProc(); }
bool CWindow::OnInitDialog() { return DefaultProc() != 0; }
void CWindow::OnCommand(UINT, UINT, HWND) { DefaultProc(); }
void CWindow::OnSysCommand(UINT, LPARAM) { DefaultProc(); }
void CWindow::OnTimer(UINT_PTR) { DefaultProc(); }
void CWindow::OnHScroll(UINT, UINT, HWND) { DefaultProc(); }
void CWindow::OnVScroll(UINT, UINT, HWND) { DefaultProc(); }
LRESULT CWindow::OnPowerBroadcast(UINT, LPARAM) { return DefaultProc(); }
void CWindow::OnEnterSizeMove() { DefaultProc(); }
void CWindow::OnExitSizeMove() { DefaultProc(); }
void CWindow::OnDropFiles(HDROP) { DefaultProc(); }
void CWindow::OnGetMinMaxInfo(MINMAXINFO*) { DefaultProc(); }
void CWindow::OnTaskbarCreated() { DefaultProc(); }
void CWindow::OnMouseWheelNotch(UINT, int, int, int) {}
bool CWindow::OnReflectedDrawItem(DRAWITEMSTRUCT*) { return false; }
bool CWindow::OnReflectedMeasureItem(MEASUREITEMSTRUCT*) { return false; }

}  // namespace lib::wfc
