#include "launcher/app/SilentInstallEnvironment.h"

#include "launcher/app/RunAPPMgr.h"
#include "ui/MessageBoxWindow.h"

namespace ui {
namespace {

void StartUpdater() { RunAPPMgr().StartApplication(RunAPPMgr::kUpdater, L"Launcher", nullptr, SW_HIDE); }

int ShowMessageBox(HWND owner, const std::string& text, UINT type) {
    CMessageBoxWindow box(true);
    // The skinned box has no information icon.
    return box.DoModal(owner, text, type & ~static_cast<UINT>(MB_ICONINFORMATION));
}

std::unique_ptr<CDownLoadCtrl> MakeUpdateControl() { return std::make_unique<CDownLoadCtrl>(); }

}  // namespace

SilentInstallEnvironment SilentInstallEnvironment::Default() {
    return SilentInstallEnvironment{&StartUpdater, &ShowMessageBox, &MakeUpdateControl};
}

SilentInstallEnvironment SilentInstallEnvironment::WithDefaults() const {
    SilentInstallEnvironment filled = *this;
    if (!filled.startUpdater) filled.startUpdater = &StartUpdater;
    if (!filled.showMessage) filled.showMessage = &ShowMessageBox;
    if (!filled.makeUpdateControl) filled.makeUpdateControl = &MakeUpdateControl;
    return filled;
}

}  // namespace ui
