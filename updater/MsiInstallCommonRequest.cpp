#include "updater/MsiInstallCommonRequest.h"

#include <utility>

#include "log/KilnLogWrapper.h"
#include "updater/HeldPackage.h"
#include "updater/InstallRequestRecord.h"
#include "updater/MsiInstall.h"
#include "updater/MsiInstallCallback.h"

namespace MsiInstaller {
namespace {

constexpr char kReinstallProperties[] = "REINSTALLMODE=vomus REINSTALL=ALL";

// Makes a callback the current one of MsiInstall for the scope's lifetime.
class CallbackBinding {
public:
    CallbackBinding(MsiInstall& install, MsiInstallCallback& callback) : install_(install) {
        install_.SetCallback(&callback);
    }
    CallbackBinding(const CallbackBinding&) = delete;
    CallbackBinding& operator=(const CallbackBinding&) = delete;
    ~CallbackBinding() { install_.SetCallback(nullptr); }

private:
    MsiInstall& install_;
};

}  // namespace

MsiInstallCommonRequest::MsiInstallCommonRequest(std::shared_ptr<const PackageTrust> trust, std::int32_t installType,
                                                 std::int32_t applicationType, HWND notifyWindow, UINT notifyMessage,
                                                 std::string packagePath)
    : trust_(std::move(trust)),
      packagePath_(std::move(packagePath)),
      notifyWindow_(notifyWindow),
      notifyMessage_(notifyMessage),
      applicationType_(applicationType),
      installType_(installType) {}

void MsiInstallCommonRequest::DoAction() {
    if (installType_ != INSTALLTYPE_FIRST && installType_ != INSTALLTYPE_REINSTALL) return;
    if (packagePath_.empty()) return;

    MsiInstallCallback callback;
    callback.Reset();
    callback.Bind(notifyWindow_, notifyMessage_, applicationType_);
    // Held from the check until Windows Installer has returned.
    const HeldPackage package(packagePath_);
    if (!trust_->Admit(package)) {
        callback.EndRefused();
        return;
    }
    MsiInstall& install = MsiInstall::GetInstance();
    const CallbackBinding binding(install, callback);
    const char* properties = installType_ == INSTALLTYPE_REINSTALL ? kReinstallProperties : nullptr;
    const UINT result = install.InstallProduct(packagePath_.c_str(), properties);
    if (result != ERROR_SUCCESS) {
        KILNLOG.Write(kLogError, "MsiInstallCommonRequest::DoAction[ERROR:0x%08X]", static_cast<unsigned>(result));
    }
}

}  // namespace MsiInstaller
