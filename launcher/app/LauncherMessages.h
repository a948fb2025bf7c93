#pragma once
// The launch window's private messages, posted to it by the windows it owns
// (the silent-install window and the help popup).
#include <windows.h>

// wParam: one of the close codes below.
constexpr UINT LWM_PRCWINDOWCLOSE = WM_APP + 6;  // 0x8006
// The update check has started; wParam ignored.
constexpr UINT LWM_SERVERSTART = WM_APP + 7;  // 0x8007
// The update check has ended without anything to install: the launch window
// shows itself; wParam ignored.
constexpr UINT LWM_SERVERSTARTFINISH = WM_APP + 8;  // 0x8008

// Close codes of LWM_PRCWINDOWCLOSE.
constexpr WPARAM kCloseHelpPopup = 1;          // the help popup has closed
constexpr WPARAM kCloseSilentInstall = 4;      // the silent-install window has closed
constexpr WPARAM kCloseLauncher = 8;           // as 4, and the launcher ends

// The frame-overlay message of every launcher window.
constexpr UINT kLauncherFrameOverlayMessage = WM_APP + 1;  // 0x8001
