#pragma once
// The installer's worker thread and its request queue. Requests run one at a
// time in the order they were queued. Queueing and stopping both signal the
// wake event, so a request starts as soon as the one before it has ended
// instead of when the worker's next periodic look at the queue comes round.
#include <windows.h>

#include <atomic>
#include <deque>
#include <memory>

#include "lib/UniqueHandle.h"
#include "lib/wfc/CriticalSection.h"
#include "updater/MsiInstallRequest.h"

namespace MsiInstaller {

class MsiInstallThread {
public:
    MsiInstallThread();
    MsiInstallThread(const MsiInstallThread&) = delete;
    MsiInstallThread& operator=(const MsiInstallThread&) = delete;
    // Stops the worker (at most 5 seconds).
    ~MsiInstallThread();

    // Starts the worker unless it runs; true when it runs.
    bool Start();
    // Tells the worker to stop and waits at most `milliseconds`, then
    // terminates it; true when it ended (or none ran). The queue is emptied
    // whenever a worker was running.
    bool Stop(DWORD milliseconds);
    bool Running() const;

    // Queues the request and wakes the worker.
    void Append(std::unique_ptr<MsiInstallRequest> request);
    // Deletes every queued request; the running one goes on.
    void Clear();

private:
    // The worker loop.
    unsigned Run();
    static unsigned __stdcall Routine(void* parameter);
    std::unique_ptr<MsiInstallRequest> TakeFront();

    lib::KernelHandle thread_;
    std::atomic<bool> stop_{false};
    lib::KernelHandle wake_;
    std::deque<std::unique_ptr<MsiInstallRequest>> queue_;
    lib::wfc::CCriticalSection queueLock_;
};

}  // namespace MsiInstaller
