#pragma once
// Runs Windows Installer silently with this object as the external UI
// handler's context, hands the installer's messages to the bound callback and
// keeps the cancel flag: once set, the next PROGRESS message is answered
// IDCANCEL; only the end of an installation clears it, so a cancel that comes
// while nothing runs cancels the next installation.
#include <windows.h>

#include "lib/wfc/CriticalSection.h"

namespace MsiInstaller {

class MsiInstallCallback;

class MsiInstall {
public:
    // The process-wide instance, made on first use.
    static MsiInstall& GetInstance();

    MsiInstall() = default;
    MsiInstall(const MsiInstall&) = delete;
    MsiInstall& operator=(const MsiInstall&) = delete;

    void Cancel();
    bool CancelRequested() const;

    // The callback of the running installation (null: none).
    void SetCallback(MsiInstallCallback* callback) { callback_ = callback; }

    // Installs the package with the bound callback; Windows Installer's result.
    // An installation that ends without a TERMINATE message is ended here as
    // TERMINATE would have ended it, so the launcher always gets its end notification.
    UINT InstallProduct(const char* packagePath, const char* properties);

    // The external UI handler's answer to one message.
    int OnMessage(UINT messageType, LPCSTR text);

private:
    static int WINAPI ExternalUIHandler(LPVOID context, UINT messageType, LPCSTR text);
    void ClearCancel();

    mutable lib::wfc::CCriticalSection cancelLock_;
    bool cancel_ = false;
    MsiInstallCallback* callback_ = nullptr;
};

}  // namespace MsiInstaller
