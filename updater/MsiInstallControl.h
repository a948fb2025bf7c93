#pragma once
// The installer engine as the updater's window sees it: queues install
// requests for the worker, cancels, runs the launcher's own setup program,
// and starts and stops the worker. Used on the window's thread only.
#include <windows.h>

#include "updater/InstallRequestRecord.h"
#include "updater/MsiInstallThread.h"

namespace MsiInstaller {

class MsiInstallControl {
public:
    // The process-wide instance: made on first use, deleted by DeleteInstance.
    static MsiInstallControl& GetInstance();
    static void DeleteInstance();

    MsiInstallControl() = default;
    MsiInstallControl(const MsiInstallControl&) = delete;
    MsiInstallControl& operator=(const MsiInstallControl&) = delete;
    virtual ~MsiInstallControl() = default;

    // Starts the worker; true when it runs.
    virtual bool Start();
    // Cancels, then stops the worker within 5 seconds; true when it ended.
    virtual bool Stop();

    // Queues a Windows Installer request copied from the record (an empty
    // path makes a request that does nothing); starts the worker if needed.
    void QueueInstall(const InstallRequestRecord& record);
    // Cancels the running installation (or, when none runs, the next one)
    // and deletes every queued request.
    void Cancel();
    // The launcher's own package: an update (install type 2) with a path runs
    // the setup program silently and ends the calling thread's message loop;
    // anything else does nothing.
    void RequestLauncherInstall(const InstallRequestRecord& record);

private:
    MsiInstallThread thread_;
};

}  // namespace MsiInstaller
