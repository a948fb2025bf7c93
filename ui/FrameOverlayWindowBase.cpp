#include "ui/FrameOverlayWindowBase.h"

#include "lib/wfc/CriticalSection.h"
#include "ui/EndSessionWaitingWindow.h"
#include "ui/ResizableSkinWindow.h"

namespace ui {

// The one combination the launcher's windows and message boxes derive from.
template class CEndSessionWaitingWindow<CResizableSkinWindow>;
template class CFrameOverlayWindowBase<CEndSessionWaitingWindow<CResizableSkinWindow>>;

namespace FrameOverlayWindowBase {
namespace {

struct Registry {
    lib::wfc::CCriticalSection lock;
    std::map<HWND, UINT> windows;
};

Registry& Windows() {
    static Registry registry;
    return registry;
}

}  // namespace

CBaseFunc::~CBaseFunc() = default;

void CBaseFunc::HideForOverlay(HWND window) {
    if (!::IsWindowVisible(window) || (::GetWindowLongA(window, GWL_STYLE) & WS_CHILD) != 0) return;
    ::ShowWindow(window, SW_HIDE);
    hiddenByRequest_ = true;
}

void CBaseFunc::RestoreAfterOverlay(HWND window) {
    if (hiddenByRequest_) ::ShowWindow(window, SW_SHOWNA);
    hiddenByRequest_ = false;
}

void RegisterOverlayWindow(HWND window, UINT message) {
    Registry& registry = Windows();
    lib::wfc::CriticalSectionLock hold(registry.lock);
    registry.windows[window] = message;
}

void UnregisterOverlayWindow(HWND window) noexcept {
    Registry& registry = Windows();
    lib::wfc::CriticalSectionLock hold(registry.lock);
    registry.windows.erase(window);
}

std::optional<UINT> FindOverlayMessage(HWND window) {
    Registry& registry = Windows();
    lib::wfc::CriticalSectionLock hold(registry.lock);
    const auto found = registry.windows.find(window);
    if (found == registry.windows.end()) return std::nullopt;
    return found->second;
}

std::map<HWND, UINT> OverlayWindows() {
    Registry& registry = Windows();
    lib::wfc::CriticalSectionLock hold(registry.lock);
    return registry.windows;
}

}  // namespace FrameOverlayWindowBase
}  // namespace ui
