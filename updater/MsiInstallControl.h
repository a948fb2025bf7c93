#pragma once
// The installer engine as the updater's window sees it: queues install
// requests for the worker, cancels, runs the launcher's own setup program,
// and starts and stops the worker. Used on the window's thread only.
#include <windows.h>

#include <memory>
#include <string>

#include "updater/InstallRequestRecord.h"
#include "updater/MsiInstallThread.h"
#include "updater/PackageTrust.h"

namespace MsiInstaller {

class MsiInstallControl {
public:
    // The process-wide instance: made on first use, deleted by DeleteInstance.
    static MsiInstallControl& GetInstance();
    static void DeleteInstance();

    // Packages are admitted by the trust of the running program's own signature.
    MsiInstallControl();
    explicit MsiInstallControl(std::shared_ptr<const PackageTrust> trust);
    MsiInstallControl(const MsiInstallControl&) = delete;
    MsiInstallControl& operator=(const MsiInstallControl&) = delete;
    virtual ~MsiInstallControl() = default;

    // Starts the worker; true when it runs.
    virtual bool Start();
    // Cancels, then waits up to 120 seconds for the running installation to
    // end and the worker with it; true when it ended.
    virtual bool Stop();

    // Queues a Windows Installer request copied from the record (an empty
    // path makes a request that does nothing); starts the worker if needed.
    void QueueInstall(const InstallRequestRecord& record);
    // Cancels the running installation (or, when none runs, the next one)
    // and deletes every queued request.
    void Cancel();
    // The launcher's own package: an update (install type 2) with a path runs
    // the setup program silently once the trust admits it (a refused one gets
    // the start and end notifications instead), then ends the calling
    // thread's message loop; anything else does nothing.
    void RequestLauncherInstall(const InstallRequestRecord& record);

private:
    static void RunSetup(const std::string& path);

    std::shared_ptr<const PackageTrust> trust_;
    MsiInstallThread thread_;
};

}  // namespace MsiInstaller
