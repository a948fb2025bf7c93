#pragma once
// The modal "バージョン情報" window: the launcher's version, and after the
// mouse button is held for five seconds on a hidden spot, the versions of the
// launcher, the update manager and the MSV title editor. A click anywhere
// closes it, except the release that ends that hold.
#include <windows.h>

#include <string>

#include "ui/EndSessionWaitingWindow.h"
#include "ui/FrameOverlayWindowBase.h"
#include "ui/ResizableSkinWindow.h"
#include "ui/SkinDefinition.h"
#include "ui/WindowBase.h"

namespace ui {

class CSkinWindowItemStatic;

using VersionInfoWindowBase = CFrameOverlayWindowBase<CEndSessionWaitingWindow<CResizableSkinWindow>>;

class CVersionInfoWindow : public VersionInfoWindowBase, public CWindowBase {
public:
    enum ItemId : int {
        kCloseButton = 1, kTextStatic, kLauncherLabel, kUpdateManagerLabel, kEditorLabel, kLauncherValue,
        kUpdateManagerValue, kEditorValue, kFrameOverlay
    };
    static constexpr UINT_PTR kHoldTimer = 8193;
    static constexpr UINT kHoldMilliseconds = 5000;
    // The hidden spot, in client coordinates.
    static bool InHoldArea(int x, int y) noexcept { return x > 44 && x < 80 && y > 65 && y <= 100; }

    // The programs are looked for beside `programPath`: the running launcher
    // when it is empty.
    explicit CVersionInfoWindow(HWND owner, std::wstring programPath = {});
    ~CVersionInfoWindow() override;

    // Makes the window, hidden and centred on the work area, with "Ver." and
    // the launcher's version. False when the skin or the window could not be
    // made (a skin error has been shown already).
    bool Create();
    // Fills in the three program versions and shows their labels beside them.
    void ShowDetails();

    void OnActivate(UINT state, HWND otherWindow) override;
    void OnEndSession(bool ending, LPARAM reason) override;
    void OnLButtonDown(UINT keys, int x, int y) override;
    void OnLButtonUp(UINT keys, int x, int y) override;
    void OnCaptureChanged(HWND newCapture) override;
    void OnCommand(UINT id, UINT code, HWND control) override;
    void OnTimer(UINT_PTR id) override;
    bool NotifyCommand(int id, int code) override;
    UINT GetFrameOverlayMessage() override;

    HWND GetOwnerWindow() const noexcept { return ownerWindow; }
    bool AreDetailsShown() const noexcept { return detailsShown; }

protected:
    // The hold's clock: a window timer here, a test's own clock in tests.
    virtual void StartHoldTimer(UINT milliseconds);
    virtual void StopHoldTimer();

private:
    SkinDefinition definition_;
    std::wstring programPath_;
    HWND ownerWindow;
    CSkinWindowItemStatic* versionText = nullptr;
    CSkinWindowItemStatic* launcherVersion = nullptr;
    CSkinWindowItemStatic* updateManagerVersion = nullptr;
    CSkinWindowItemStatic* editorVersion = nullptr;
    bool detailsShown = false;
    // The release that ends a completed hold is not a click.
    bool swallowNextClick = false;
};

// What the launch window's menu command does: the window, modal over `owner`,
// until it is closed; then the owner is brought back to the front. False when
// the window could not be made.
bool ShowVersionInfoWindow(HWND owner, const std::wstring& programPath = {});

}  // namespace ui
