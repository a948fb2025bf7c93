#pragma once
// An install request from the launcher, copied out of its record: installs
// one package with progress notifications to the launcher's window.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "updater/MsiInstallRequest.h"
#include "updater/PackageTrust.h"

namespace MsiInstaller {

class MsiInstallCommonRequest : public MsiInstallRequest {
public:
    MsiInstallCommonRequest(std::shared_ptr<const PackageTrust> trust, std::int32_t installType,
                            std::int32_t applicationType, HWND notifyWindow, UINT notifyMessage,
                            std::string packagePath);

    // Installs (type 1) or reinstalls (type 2) the package once `trust`
    // admits it, keeping writers out of the file until Windows Installer is
    // done; a refused package ends with the start and end notifications. Any
    // other type or an empty path does nothing.
    void DoAction() override;

private:
    std::shared_ptr<const PackageTrust> trust_;
    std::string packagePath_;
    HWND notifyWindow_;
    UINT notifyMessage_;
    std::int32_t applicationType_;
    std::int32_t installType_;
};

}  // namespace MsiInstaller
