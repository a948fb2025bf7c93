#include "lib/wfc/WindowDispatch.h"

#include "lib/wfc/Framework.h"
#include "lib/wfc/ThreadContext.h"
#include "lib/wfc/Window.h"

namespace lib::wfc {
namespace {

int SignedLow(LPARAM value) { return static_cast<short>(LOWORD(value)); }
int SignedHigh(LPARAM value) { return static_cast<short>(HIWORD(value)); }

template <typename Pointer>
Pointer As(LPARAM value) {
    return reinterpret_cast<Pointer>(value);
}

}  // namespace

LRESULT CALLBACK FrameworkWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = As<const CREATESTRUCTA*>(lParam);
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* window = reinterpret_cast<CWindow*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    ThreadContext* context = ThreadContext::Current();
    // Messages before WM_NCCREATE (WM_GETMINMAXINFO) have no object yet; a
    // thread that never attached has no context to dispatch with.
    if (!window || !context) return ::DefWindowProcA(hwnd, message, wParam, lParam);
    if (!window->hwnd_) window->hwnd_ = hwnd;
    return CWindowPolicy::GuardedCall([&] {
        ThreadContext::MessageScope scope(*context, hwnd, message, wParam, lParam);
        return window->WindowProc(message, wParam, lParam);
    });
}

LRESULT CWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const UINT word = static_cast<UINT>(wParam);
    switch (message) {
    case WM_CREATE: {
        bool created = false;
        try {
            created = OnCreate(As<CREATESTRUCTA*>(lParam));
        } catch (...) {
            // Creation fails; Create reports it by throwing.
        }
        return created ? 0 : -1;
    }
    case WM_DESTROY:
        EnableIme(true);
        OnDestroy();
        return 0;
    case WM_MOVE: OnMove(SignedLow(lParam), SignedHigh(lParam)); return 0;
    case WM_SIZE: OnSize(word, LOWORD(lParam), HIWORD(lParam)); return 0;
    case WM_ACTIVATE: OnActivate(LOWORD(wParam), As<HWND>(lParam)); return 0;
    case WM_DEVMODECHANGE: OnDevModeChange(lParam); return 0;
    case WM_SETFOCUS: OnSetFocus(reinterpret_cast<HWND>(wParam)); return 0;
    case WM_KILLFOCUS: OnKillFocus(reinterpret_cast<HWND>(wParam)); return 0;
    case WM_ENABLE: OnEnable(wParam != 0); return 0;
    case WM_PAINT: OnPaint(); return 0;
    case WM_CLOSE: OnClose(); return 0;
    case WM_QUERYENDSESSION: return OnQueryEndSession(lParam);
    case WM_QUERYOPEN: return OnQueryOpen();
    case WM_ENDSESSION: OnEndSession(wParam != 0, lParam); return 0;
    case WM_ERASEBKGND: return OnEraseBkgnd(reinterpret_cast<HDC>(wParam));
    case WM_SHOWWINDOW: OnShowWindow(wParam != 0, static_cast<UINT>(lParam)); return 0;
    case WM_SETTINGCHANGE: OnSettingChange(wParam, lParam); return 0;
    case WM_ACTIVATEAPP: OnActivateApp(wParam != 0, static_cast<DWORD>(lParam)); return 0;
    case WM_SETCURSOR: return OnSetCursor(lParam);
    case WM_DRAWITEM: return OnDrawItem(word, As<DRAWITEMSTRUCT*>(lParam));
    case WM_MEASUREITEM: return OnMeasureItem(word, As<MEASUREITEMSTRUCT*>(lParam));
    case WM_MOUSEMOVE: OnMouseMove(word, SignedLow(lParam), SignedHigh(lParam)); return 0;
    case WM_LBUTTONDOWN: OnLButtonDown(word, SignedLow(lParam), SignedHigh(lParam)); return 0;
    case WM_LBUTTONUP: OnLButtonUp(word, SignedLow(lParam), SignedHigh(lParam)); return 0;
    case WM_LBUTTONDBLCLK: OnLButtonDblClk(word, SignedLow(lParam), SignedHigh(lParam)); return 0;
    case WM_RBUTTONDOWN: OnRButtonDown(word, SignedLow(lParam), SignedHigh(lParam)); return 0;
    case WM_RBUTTONUP: OnRButtonUp(word, SignedLow(lParam), SignedHigh(lParam)); return 0;
    case WM_RBUTTONDBLCLK: OnRButtonDblClk(word, SignedLow(lParam), SignedHigh(lParam)); return 0;
    case WM_MOUSEWHEEL: {
        const UINT keys = GET_KEYSTATE_WPARAM(wParam);
        const int delta = GET_WHEEL_DELTA_WPARAM(wParam);
        const int x = SignedLow(lParam), y = SignedHigh(lParam);
        if (delta != 0) {
            const int notches = wheel_.Add(delta, ::GetMessageTime());
            if (notches != 0) OnMouseWheelNotch(keys, -notches, x, y);
        }
        OnMouseWheel(keys, delta, x, y);
        return 0;
    }
    case WM_MOUSEHOVER: OnMouseHover(); return 0;
    case WM_MOUSELEAVE: OnMouseLeave(); return 0;
    case WM_CAPTURECHANGED: OnCaptureChanged(As<HWND>(lParam)); return 0;
    case WM_PARENTNOTIFY: OnParentNotify(LOWORD(wParam), HIWORD(wParam), lParam); return 0;
    case WM_SIZING: return OnSizing(word, As<RECT*>(lParam));
    case WM_MOVING: OnMoving(As<RECT*>(lParam)); return 0;
    case WM_NOTIFY: {
        LRESULT result = 0;
        if (OnNotify(static_cast<int>(wParam), As<NMHDR*>(lParam), &result)) return result;
        return DefaultProc();
    }
    case WM_DISPLAYCHANGE: OnDisplayChange(word, LOWORD(lParam), HIWORD(lParam)); return 0;
    case WM_NCCREATE: return OnNcCreate(As<CREATESTRUCTA*>(lParam));
    case WM_NCDESTROY:
        // The object is unbound even when the handler fails: the window is gone either way.
        try {
            OnNcDestroy();
        } catch (...) {
            Detach();
            throw;
        }
        Detach();
        return 0;
    case WM_NCCALCSIZE: OnNcCalcSize(wParam, lParam); return 0;
    case WM_NCHITTEST: return OnNcHitTest(SignedLow(lParam), SignedHigh(lParam));
    case WM_NCPAINT: OnNcPaint(); return 0;
    case WM_NCACTIVATE: return OnNcActivate(wParam != 0);
    case WM_NCMOUSEMOVE: OnNcMouseMove(word, SignedLow(lParam), SignedHigh(lParam)); return 0;
    case WM_NCLBUTTONDOWN: OnNcLButtonDown(word, SignedLow(lParam), SignedHigh(lParam)); return 0;
    case WM_NCLBUTTONUP: OnNcLButtonUp(word, SignedLow(lParam), SignedHigh(lParam)); return 0;
    case WM_NCLBUTTONDBLCLK: OnNcLButtonDblClk(word, SignedLow(lParam), SignedHigh(lParam)); return 0;
    case WM_NCRBUTTONDOWN: OnNcRButtonDown(word, SignedLow(lParam), SignedHigh(lParam)); return 0;
    case WM_NCRBUTTONUP: OnNcRButtonUp(word, SignedLow(lParam), SignedHigh(lParam)); return 0;
    case WM_NCRBUTTONDBLCLK: OnNcRButtonDblClk(word, SignedLow(lParam), SignedHigh(lParam)); return 0;
    case WM_NCMBUTTONDOWN: OnNcMButtonDown(word, SignedLow(lParam), SignedHigh(lParam)); return 0;
    case WM_NCMBUTTONUP: OnNcMButtonUp(word, SignedLow(lParam), SignedHigh(lParam)); return 0;
    case WM_NCMBUTTONDBLCLK: OnNcMButtonDblClk(word, SignedLow(lParam), SignedHigh(lParam)); return 0;
    case WM_KEYDOWN: OnKeyDown(word, lParam); return 0;
    case WM_KEYUP: OnKeyUp(word, lParam); return 0;
    case WM_CHAR: OnChar(word, lParam); return 0;
    case WM_SYSKEYDOWN: OnSysKeyDown(word, lParam); return 0;
    case WM_SYSKEYUP: OnSysKeyUp(word, lParam); return 0;
    case WM_INITDIALOG:
        CenterWindow(nullptr);
        return OnInitDialog();
    case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam), As<HWND>(lParam)); return 0;
    case WM_SYSCOMMAND: OnSysCommand(word, lParam); return 0;
    case WM_TIMER: OnTimer(wParam); return 0;
    case WM_HSCROLL: OnHScroll(LOWORD(wParam), HIWORD(wParam), As<HWND>(lParam)); return 0;
    case WM_VSCROLL: OnVScroll(LOWORD(wParam), HIWORD(wParam), As<HWND>(lParam)); return 0;
    case WM_POWERBROADCAST: return OnPowerBroadcast(word, lParam);
    case WM_ENTERSIZEMOVE: OnEnterSizeMove(); return 0;
    case WM_EXITSIZEMOVE: OnExitSizeMove(); return 0;
    case WM_DROPFILES: OnDropFiles(reinterpret_cast<HDROP>(wParam)); return 0;
    case WM_GETMINMAXINFO: OnGetMinMaxInfo(As<MINMAXINFO*>(lParam)); return 0;
    default:
        break;
    }
    if (message == GetTaskbarCreatedMessage() && message != 0) {
        OnTaskbarCreated();
        return 0;
    }
    if (message == GetInternalMessage() && message != 0) return _OnInternalMessage(wParam, lParam);
    return DefaultProc();
}

}  // namespace lib::wfc
