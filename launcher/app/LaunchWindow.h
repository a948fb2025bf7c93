#pragma once
// The launcher's long-lived window: large buttons that start the suite's
// programs, a menu, minimise and close. It is also the hub of the launcher's
// messages: it starts the update check by making the silent-install window,
// shows itself only once that check has nothing to install, shows the
// errors the check reports, and ends the launcher when told to. Destroying it
// ends the message loop.
#include <windows.h>

#include <memory>
#include <string>

#include "launcher/app/SilentInstallEnvironment.h"
#include "lib/wfc/ContextMenu.h"
#include "ui/EndSessionWaitingWindow.h"
#include "ui/FrameOverlayWindowBase.h"
#include "ui/ResizableSkinWindow.h"
#include "ui/SkinDefinition.h"
#include "ui/WindowBase.h"

namespace ui {

class CHelpInfoWindow;
class CSilentInstallWindow;
class CSkinWindowItemButton;
class CSkinWindowItemStatic;
class CSkinWindowItemToggleButton;

using LaunchWindowBase = CFrameOverlayWindowBase<CEndSessionWaitingWindow<CResizableSkinWindow>>;

class CLaunchWindow : public LaunchWindowBase, public CWindowBase {
public:
    enum ItemId : int {
        kDriveButton = 1, kEditorButton, kUpdateButton, kBackGrayImage, kTitleImage, kTitleIcon, kCloseButton,
        kMinimizeButton, kMenuButton, kDebugText, kFrameOverlay
    };
    // Commands of the menu button's menu.
    enum MenuCommand : UINT { kMenuHomePage = 4006, kMenuOnlineHelp = 4010, kMenuVersionInfo = 4004 };
    static constexpr BYTE kActiveAlpha = 242;
    static constexpr BYTE kInactiveAlpha = 204;

    static const char kStartupNotice[];
    static const char kStartFailedText[];

    // The environment goes to the silent-install window; its message boxes
    // also show this window's messages.
    explicit CLaunchWindow(SilentInstallEnvironment environment = SilentInstallEnvironment::Default());
    ~CLaunchWindow() override;

    // Shows the start-up notice, makes the window (hidden until the update
    // check has nothing to install) and queues the start of that check.
    // False when the skin or the window could not be made.
    bool Create();

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnDestroy() override;
    // A plain skin window's: the launch window keeps its size.
    void OnSize(UINT type, int cx, int cy) override;
    void OnActivate(UINT state, HWND otherWindow) override;
    void OnEndSession(bool ending, LPARAM reason) override;
    void OnMouseMove(UINT keys, int x, int y) override;
    void OnCommand(UINT id, UINT code, HWND control) override;
    UINT GetFrameOverlayMessage() override;
    bool NotifyCommand(int id, int code) override;

    // The skinned message boxes, owned by this window; the information-icon
    // bit (0x40) is always cleared first. They return the box's result.
    int ShowMessage(const std::string& text, UINT flags);
    int ShowUrlMessage(const std::string& text, UINT flags);

    CSilentInstallWindow* GetSilentInstallWindow() const noexcept { return silentInstallWindow_.get(); }
    CHelpInfoWindow* GetHelpWindow() const noexcept { return helpWindow_.get(); }
    int GetHoveredButtonId() const noexcept { return hoveredButtonId_; }
    const lib::wfc::CContextMenu& GetContextMenu() const noexcept { return contextMenu_; }

private:
    void _PrcWindowClose(WPARAM code);
    void _ServerMessagePro(int code);
    void _OnServerStartFinish();
    void ShowErrorMessage(WPARAM code, LPARAM detail);
    void ShowHelpPopup(int buttonId);
    void CloseHelpPopup();
    void ShowMenu();
    // Starts program `key` of the runner, telling the user when it cannot.
    void StartProgram(int key);
    void StartUpdateCheck();

    SilentInstallEnvironment environment_;
    SkinDefinition definition_;
    CSkinWindowItemButton* closeButton_ = nullptr;
    CSkinWindowItemButton* updateButton_ = nullptr;
    CSkinWindowItemButton* editorButton_ = nullptr;
    CSkinWindowItemToggleButton* menuButton_ = nullptr;
    CSkinWindowItemStatic* debugText_ = nullptr;
    int hoveredButtonId_ = 0;
    std::unique_ptr<CHelpInfoWindow> helpWindow_;
    lib::wfc::CContextMenu contextMenu_;
    std::unique_ptr<CSilentInstallWindow> silentInstallWindow_;
    UINT msgStartLauncher_;
    UINT msgNotifyError_;
    UINT msgNotifyProgress_;
    UINT msgNotifyFinish_;
    UINT msgUpdateInfo_;
};

}  // namespace ui
