#pragma once
// An optional translucent frame item over the whole window, shown and hidden
// through a private message of the window's own (its frame-overlay message),
// which also hides the window and shows it again on request:
//   wParam 0: the overlay is shown (lParam != 0) or hidden (lParam 0);
//   wParam 1: the window is hidden, when it is a visible top-level window;
//   wParam 2: a window hidden by wParam 1 is shown again, not activated.
// Windows with an overlay are listed process-wide with their message, for
// senders outside the window.
#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <utility>

#include "ui/LayoutManager.h"
#include "ui/SkinDefinition.h"
#include "ui/SkinItemAccess.h"
#include "ui/SkinWindowItemOverlay.h"

namespace ui {

// Which block of the skin describes the overlay, and the overlay item's id.
struct FrameOverlayDefinition {
    std::string section;
    WORD itemId;
};

namespace FrameOverlayWindowBase {

// Hides a window on request and shows it again afterwards.
class CBaseFunc {
public:
    virtual ~CBaseFunc();

    // A visible top-level window is hidden and remembered as hidden on request.
    void HideForOverlay(HWND window);
    // Shows, without activating, a window hidden by HideForOverlay; forgets the request either way.
    void RestoreAfterOverlay(HWND window);
    bool IsHiddenForOverlay() const noexcept { return hiddenByRequest_; }

private:
    bool hiddenByRequest_ = false;
};

// The registry of windows with an overlay, of every thread.
void RegisterOverlayWindow(HWND window, UINT message);
void UnregisterOverlayWindow(HWND window) noexcept;
// The frame-overlay message of a listed window.
std::optional<UINT> FindOverlayMessage(HWND window);
std::map<HWND, UINT> OverlayWindows();

}  // namespace FrameOverlayWindowBase

template <typename Base>
class CFrameOverlayWindowBase : public Base, public FrameOverlayWindowBase::CBaseFunc {
public:
    // `overlay` is kept by reference: it must outlive the window object.
    template <typename... Args>
    explicit CFrameOverlayWindowBase(const FrameOverlayDefinition& overlay, Args&&... args)
        : Base(std::forward<Args>(args)...), overlay_(overlay) {}
    // An object that goes while its window lives must not stay listed.
    ~CFrameOverlayWindowBase() override {
        if (overlayEnabled_ && this->GetHandle()) FrameOverlayWindowBase::UnregisterOverlayWindow(this->GetHandle());
    }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_CREATE && overlayEnabled_) {
            const UINT own = GetFrameOverlayMessage();
            FrameOverlayWindowBase::RegisterOverlayWindow(this->GetHandle(), own);
            // The overlay starts hidden.
            this->PostMessage(own, 0, 0);
        } else if (message == WM_DESTROY && overlayEnabled_) {
            FrameOverlayWindowBase::UnregisterOverlayWindow(this->GetHandle());
        } else if (message == GetFrameOverlayMessage()) {
            OnFrameOverlayMessage(wParam, lParam);
        }
        return Base::WindowProc(message, wParam, lParam);
    }

    // Operations added to the skin window's, in this order.
    // The window's frame-overlay message (WM_APP + 1 for launcher windows, WM_APP for message boxes).
    virtual UINT GetFrameOverlayMessage() = 0;
    // False lets only requests to hide the overlay through.
    virtual bool AcceptsOverlayRequest() { return true; }

    // Makes the overlay item from the skin, hidden and covering the window at
    // any size. Called after the skin is loaded and before Create.
    void CreateFrameOverlay(const SkinDefinition& definition) {
        CSkinWindowItemOverlay& overlay = this->AddOverlay(overlay_.itemId, GetSkinItem(definition, overlay_.section));
        overlay.SetVisible(false);
        const SIZE layout = this->GetLayoutSize();
        overlay.SetRect(0, 0, layout.cx, layout.cy);
        overlay.SetItemRect(RECT{0, 0, layout.cx, layout.cy});
        this->SetLayoutRule(overlay_.itemId, kAnchorNear, kAnchorNear, kAnchorFar, kAnchorFar);
        overlayEnabled_ = true;
    }

    bool IsFrameOverlayEnabled() const noexcept { return overlayEnabled_; }
    const FrameOverlayDefinition& GetFrameOverlayDefinition() const noexcept { return overlay_; }

private:
    void OnFrameOverlayMessage(WPARAM request, LPARAM show) {
        switch (request) {
        case 0:
            if (overlayEnabled_ && (AcceptsOverlayRequest() || show == 0)) {
                if (CSkinWindowItem* overlay = this->FindItem(overlay_.itemId)) overlay->SetVisible(show != 0);
            }
            break;
        case 1: HideForOverlay(this->GetHandle()); break;
        case 2: RestoreAfterOverlay(this->GetHandle()); break;
        default: break;
        }
    }

    const FrameOverlayDefinition& overlay_;
    bool overlayEnabled_ = false;
};

}  // namespace ui
