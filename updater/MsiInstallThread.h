#pragma once
// The installer's worker thread and its request queue. Requests run one at a
// time in the order they were queued. Queueing and stopping both signal the
// wake event, so a request starts as soon as the one before it has ended
// instead of when the worker's next periodic look at the queue comes round.
// The worker is never ended by force: one stopped inside Windows Installer
// would leave an installation half done.
#include <windows.h>

#include <memory>

#include "lib/UniqueHandle.h"
#include "updater/MsiInstallRequest.h"

namespace MsiInstaller {

class MsiInstallThread {
public:
    MsiInstallThread();
    MsiInstallThread(const MsiInstallThread&) = delete;
    MsiInstallThread& operator=(const MsiInstallThread&) = delete;
    // Stops the worker (waiting up to 120 seconds) unless Stop was called before.
    ~MsiInstallThread();

    // Starts the worker unless it runs; true when it runs.
    bool Start();
    // Empties the queue, tells the worker to stop and waits at most
    // `milliseconds` for it to end; true when it ended (or none ran). A worker
    // still busy then is left to finish its request on its own.
    bool Stop(DWORD milliseconds);
    bool Running() const;

    // Queues the request and wakes the worker.
    void Append(std::unique_ptr<MsiInstallRequest> request);
    // Deletes every queued request; the running one goes on.
    void Clear();

private:
    // What the worker shares with its owner; the worker keeps it alive, so an
    // owner that stops waiting can go away under a worker that goes on.
    struct Shared;

    static unsigned __stdcall Routine(void* parameter);

    std::shared_ptr<Shared> shared_;
    lib::KernelHandle thread_;
};

}  // namespace MsiInstaller
