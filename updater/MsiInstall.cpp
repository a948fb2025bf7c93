#include "updater/MsiInstall.h"

#include <msi.h>

#include "log/KilnLogWrapper.h"
#include "updater/MsiFunctions.h"
#include "updater/MsiInstallCallback.h"

namespace MsiInstaller {
namespace {

// Every message type from FATALEXIT (0x1) to SHOWDIALOG (0x4000).
constexpr DWORD kAllMessages = 0x7FFF;

constexpr UINT kProgress = INSTALLMESSAGE_PROGRESS >> 24;
constexpr UINT kTerminate = INSTALLMESSAGE_TERMINATE >> 24;

}  // namespace

MsiInstall& MsiInstall::GetInstance() {
    // The compiler's guard for local statics is the lock that serialises its creation.
    static MsiInstall instance;
    return instance;
}

void MsiInstall::Cancel() {
    lib::wfc::CriticalSectionLock hold(cancelLock_);
    cancel_ = true;
}

bool MsiInstall::CancelRequested() const {
    lib::wfc::CriticalSectionLock hold(cancelLock_);
    return cancel_;
}

void MsiInstall::ClearCancel() {
    lib::wfc::CriticalSectionLock hold(cancelLock_);
    cancel_ = false;
}

UINT MsiInstall::InstallProduct(const char* packagePath, const char* properties) {
    const MsiFunctions msi = GetMsiFunctions();
    msi.SetExternalUIA(&ExternalUIHandler, kAllMessages, this);
    const INSTALLUILEVEL previous = msi.SetInternalUI(INSTALLUILEVEL_NONE, nullptr);
    KILNLOG.Write(kLogInfo, "MsiInstall::SetInternalUI[UILevel:0x%08X]", static_cast<unsigned>(previous));
    const UINT result = msi.InstallProductA(packagePath, properties);
    // Windows Installer may end without TERMINATE, e.g. for a package it cannot open.
    if (callback_ && !callback_->Terminated()) OnMessage(INSTALLMESSAGE_TERMINATE, nullptr);
    return result;
}

int MsiInstall::OnMessage(UINT messageType, LPCSTR text) {
    if (!callback_) return 0;
    const UINT type = messageType >> 24;
    if (type == kProgress && CancelRequested()) return IDCANCEL;
    if (type == kTerminate) ClearCancel();
    callback_->Dispatch(messageType, text);
    return 0;
}

int WINAPI MsiInstall::ExternalUIHandler(LPVOID context, UINT messageType, LPCSTR text) {
    try {
        return context ? static_cast<MsiInstall*>(context)->OnMessage(messageType, text) : 0;
    } catch (...) {
        KILNLOG.Write(kLogError, "MsiInstall::ExternalUIHandler exception [type:0x%08X]", messageType);
        return 0;
    }
}

}  // namespace MsiInstaller
