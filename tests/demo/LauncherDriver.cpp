#include "tests/demo/LauncherDriver.h"

#include <stdexcept>

#include "ui/SkinDefinitionLoader.h"
#include "ui/SkinError.h"
#include "ui/SkinItemAccess.h"
#include "ui/SkinValues.h"

namespace road {
namespace {

constexpr int kBoxEdge = 10;  // message box buttons from the right and bottom edges
constexpr int kBoxButtonGap = 5;

struct WindowSearch {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM parameter) {
    auto& search = *reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == search.processId && ::IsWindowVisible(window)) search.found.push_back(window);
    return TRUE;
}

void ThrowSkinError(const std::string& text) { throw std::runtime_error("skin error: " + text); }

ui::SkinItemDefinition ShippedSkinItem(const char* skinFile, const char* item) {
    const ui::SkinErrorReporter saved = ui::SetSkinErrorReporter(&ThrowSkinError);
    try {
        ui::SkinItemDefinition found = ui::GetSkinItem(ui::LoadSkinDefinition(skinFile), item);
        ui::SetSkinErrorReporter(saved);
        return found;
    } catch (...) {
        ui::SetSkinErrorReporter(saved);
        throw;
    }
}

LPARAM PointParam(POINT at) { return MAKELPARAM(static_cast<WORD>(at.x), static_cast<WORD>(at.y)); }

}  // namespace

std::vector<HWND> VisibleWindowsOf(DWORD processId) {
    WindowSearch search{processId, {}};
    ::EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool WaitUntilGone(HWND window, DWORD milliseconds) {
    const ULONGLONG end = ::GetTickCount64() + milliseconds;
    while (::IsWindow(window) && ::IsWindowVisible(window)) {
        if (::GetTickCount64() >= end) return false;
        ::Sleep(20);
    }
    return true;
}

RunningLauncher::RunningLauncher(const std::string& program) : process_("\"" + program + "\"") {}

HWND RunningLauncher::VisibleOfSize(LONG width, LONG height) const {
    for (HWND window : VisibleWindowsOf(id())) {
        RECT rect{};
        ::GetWindowRect(window, &rect);
        if (rect.right - rect.left == width && (height == 0 || rect.bottom - rect.top == height)) return window;
    }
    return nullptr;
}

HWND RunningLauncher::MessageBoxWindow() const { return VisibleOfSize(kMessageBoxWidth, 0); }
HWND RunningLauncher::SilentInstallWindow() const {
    return VisibleOfSize(kSilentInstallSize.cx, kSilentInstallSize.cy);
}
HWND RunningLauncher::LaunchWindow() const { return VisibleOfSize(kLaunchWindowSize.cx, kLaunchWindowSize.cy); }

HWND RunningLauncher::WaitForMessageBox(DWORD milliseconds) const {
    return WaitFor([this] { return MessageBoxWindow(); }, milliseconds);
}
HWND RunningLauncher::WaitForSilentInstallWindow(DWORD milliseconds) const {
    return WaitFor([this] { return SilentInstallWindow(); }, milliseconds);
}
HWND RunningLauncher::WaitForLaunchWindow(DWORD milliseconds) const {
    return WaitFor([this] { return LaunchWindow(); }, milliseconds);
}

POINT SkinItemCentre(const char* skinFile, const char* item) {
    const ui::SkinItemDefinition definition = ShippedSkinItem(skinFile, item);
    const POINT position = ui::SkinPointAt(definition, "Position");
    const SIZE size = ui::SkinSizeAt(definition, "Size");
    return POINT{position.x + size.cx / 2, position.y + size.cy / 2};
}

POINT MessageBoxButtonCentre(HWND box, const char* skinFile, const std::vector<const char*>& buttons,
                             std::size_t index) {
    RECT client{};
    ::GetClientRect(box, &client);
    // Buttons sit in a row from the bottom-right corner leftwards.
    int right = client.right - kBoxEdge;
    for (std::size_t k = buttons.size(); k-- > 0;) {
        const SIZE size = ui::SkinSizeAt(ShippedSkinItem(skinFile, buttons[k]), "Size");
        if (k == index) return POINT{right - size.cx / 2, client.bottom - kBoxEdge - size.cy / 2};
        right -= size.cx + kBoxButtonGap;
    }
    throw std::out_of_range("no such message box button");
}

void Click(HWND window, POINT at) {
    POINT screen = at;
    ::ClientToScreen(window, &screen);
    ::SetCursorPos(screen.x, screen.y);
    ::PostMessageA(window, WM_MOUSEMOVE, 0, PointParam(at));
    ::PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(at));
    ::PostMessageA(window, WM_LBUTTONUP, 0, PointParam(at));
}

bool DismissNotice(const RunningLauncher& launcher, DWORD milliseconds) {
    const HWND notice = launcher.WaitForMessageBox(milliseconds);
    if (!notice) return false;
    Click(notice, MessageBoxButtonCentre(notice, "MessageBoxWindowForURL.txt", {"OkButton", "CancelButton"}, 1));
    return WaitUntilGone(notice, milliseconds);
}

void PressOk(HWND box) { Click(box, MessageBoxButtonCentre(box, "MessageBoxWindow.txt", {"OkButton"}, 0)); }

}  // namespace road
