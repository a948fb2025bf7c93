#pragma once
// One piece of queued work for the installer's worker thread.

namespace MsiInstaller {

class MsiInstallRequest {
public:
    MsiInstallRequest() = default;
    MsiInstallRequest(const MsiInstallRequest&) = delete;
    MsiInstallRequest& operator=(const MsiInstallRequest&) = delete;
    virtual ~MsiInstallRequest() = default;

    // Runs on the worker thread.
    virtual void DoAction() = 0;
};

}  // namespace MsiInstaller
