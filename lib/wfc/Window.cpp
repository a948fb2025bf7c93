#include "lib/wfc/Window.h"

#include "lib/wfc/CenterWindow.h"
#include "lib/wfc/Framework.h"
#include "lib/wfc/ThreadContext.h"
#include "lib/wfc/WindowClass.h"
#include "lib/wfc/bad_alloc.h"

namespace lib::wfc {

CWindow::~CWindow() {
    if (hwnd_) Detach();
}

HWND CWindow::GetRootWindow() {
    HWND root = hwnd_;
    for (HWND parent = root ? ::GetParent(root) : nullptr; parent; parent = ::GetParent(parent)) root = parent;
    return root;
}

LRESULT CWindow::DefaultProc() {
    const ThreadContext* context = ThreadContext::Current();
    if (!hwnd_ || !context) return 0;
    const MSG& current = context->current;
    return ::DefWindowProcA(hwnd_, current.message, current.wParam, current.lParam);
}

void CWindow::Create(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y,
                     int width, int height, HMENU menuOrId) {
    Create(exStyle, className, title, style, x, y, width, height, nullptr, menuOrId);
}

void CWindow::Create(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menuOrId) {
    HWND created = ::CreateWindowExA(exStyle, className ? className : kDefaultWindowClass, title, style, x, y,
                                     width, height, parent, menuOrId, GetInstanceHandle(), this);
    if (!created) throw lib::wfc::bad_alloc();
}

HWND CWindow::Detach() noexcept {
    EnableIme(true);
    if (hwnd_) ::SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    HWND old = hwnd_;
    hwnd_ = nullptr;
    return old;
}

bool CWindow::ShowWindow(int command) { return ::ShowWindow(hwnd_, command); }

bool CWindow::UpdateWindow() { return ::UpdateWindow(hwnd_); }

bool CWindow::MoveWindow(int x, int y, int width, int height, bool repaint) {
    return ::MoveWindow(hwnd_, x, y, width, height, repaint);
}

bool CWindow::InvalidateRect(const RECT* rect, bool erase) { return ::InvalidateRect(hwnd_, rect, erase); }

UINT_PTR CWindow::SetTimer(UINT_PTR id, UINT milliseconds) { return ::SetTimer(hwnd_, id, milliseconds, nullptr); }

bool CWindow::KillTimer(UINT_PTR id) { return ::KillTimer(hwnd_, id); }

RECT CWindow::GetClientRect() const {
    RECT rect{};
    ::GetClientRect(hwnd_, &rect);
    return rect;
}

RECT CWindow::GetWindowRect() const {
    RECT rect{};
    ::GetWindowRect(hwnd_, &rect);
    return rect;
}

LRESULT CWindow::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageA(hwnd_, message, wParam, lParam);
}

bool CWindow::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::PostMessageA(hwnd_, message, wParam, lParam);
}

HWND CWindow::GetDlgItem(int id) const { return ::GetDlgItem(hwnd_, id); }

POINT CWindow::ScreenToClient(POINT point) const {
    ::ScreenToClient(hwnd_, &point);
    return point;
}

HICON CWindow::SetIcon(HICON icon, bool big) {
    return reinterpret_cast<HICON>(
        ::SendMessageA(hwnd_, WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
}

void CWindow::CenterWindow(HWND relativeTo) { lib::wfc::CenterWindow(hwnd_, relativeTo); }

void CWindow::EnableIme(bool enable) {
    if (!::IsWindow(hwnd_)) return;
    if (enable) {
        if (savedImeContext_) {
            ::ImmAssociateContext(hwnd_, savedImeContext_);
            savedImeContext_ = nullptr;
        }
    } else if (!savedImeContext_) {
        savedImeContext_ = ::ImmAssociateContext(hwnd_, nullptr);
    }
}

}  // namespace lib::wfc
