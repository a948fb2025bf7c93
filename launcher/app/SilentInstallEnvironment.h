#pragma once
// What the silent-install window takes from outside itself: the updater's
// start, the message boxes and its update control. The program uses the
// defaults; tests put stand-ins in their place.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "launcher/update/DownLoadCtrl.h"

namespace ui {

struct SilentInstallEnvironment {
    // Starts the updater ("RavelinUpdate.exe Launcher", hidden). Whether it
    // started shows only by its announcement.
    std::function<void()> startUpdater;
    // A skinned message box owned by `owner`; the id of the button that ended it.
    std::function<int(HWND owner, const std::string& text, UINT type)> showMessage;
    // The window's own update control.
    std::function<std::unique_ptr<CDownLoadCtrl>()> makeUpdateControl;

    // The program's: RunAPPMgr key 5, CMessageBoxWindow, a CDownLoadCtrl with
    // the default download folder. Members left empty here take these too.
    static SilentInstallEnvironment Default();
    SilentInstallEnvironment WithDefaults() const;
};

}  // namespace ui
