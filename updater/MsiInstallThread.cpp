#include "updater/MsiInstallThread.h"

#include <process.h>

#include <atomic>
#include <deque>
#include <exception>
#include <utility>

#include "lib/wfc/CriticalSection.h"
#include "log/KilnLogWrapper.h"

namespace MsiInstaller {
namespace {

// The worker is woken for each request and for stopping; this bound only
// keeps its wait finite should a wake-up ever be missed.
constexpr DWORD kIdleWait = 5000;
// Windows Installer answers a cancel at its next progress message, yet a
// rollback may take a while.
constexpr DWORD kDestructorStopWait = 120000;
constexpr unsigned kFailedExitCode = 0xFFFFFFFFu;

}  // namespace

struct MsiInstallThread::Shared {
    std::atomic<bool> stop{false};
    lib::KernelHandle wake{::CreateEventA(nullptr, FALSE, FALSE, nullptr)};
    std::deque<std::unique_ptr<MsiInstallRequest>> queue;
    lib::wfc::CCriticalSection queueLock;

    std::unique_ptr<MsiInstallRequest> TakeFront() {
        lib::wfc::CriticalSectionLock hold(queueLock);
        if (queue.empty()) return nullptr;
        std::unique_ptr<MsiInstallRequest> request = std::move(queue.front());
        queue.pop_front();
        return request;
    }

    void Clear() {
        // Declared first, so the requests are deleted after the lock is left.
        std::deque<std::unique_ptr<MsiInstallRequest>> dropped;
        lib::wfc::CriticalSectionLock hold(queueLock);
        dropped.swap(queue);
    }

    unsigned Run() {
        while (!stop) {
            while (std::unique_ptr<MsiInstallRequest> request = TakeFront()) {
                request->DoAction();
                if (stop) break;
            }
            ::WaitForSingleObject(wake.get(), kIdleWait);
        }
        return 0;
    }
};

MsiInstallThread::MsiInstallThread() : shared_(std::make_shared<Shared>()) {}

MsiInstallThread::~MsiInstallThread() {
    // A worker told to stop before has been waited for already.
    if (!shared_->stop) Stop(kDestructorStopWait);
}

bool MsiInstallThread::Start() {
    if (Running()) return true;
    thread_.reset();
    if (!shared_->wake) return false;
    shared_->stop = false;
    auto worker = std::make_unique<std::shared_ptr<Shared>>(shared_);
    unsigned id = 0;
    lib::KernelHandle thread(reinterpret_cast<HANDLE>(::_beginthreadex(nullptr, 0, &Routine, worker.get(), 0, &id)));
    if (!thread) {
        KILNLOG.Write(kLogError, "MsiInstallThread::Start failed[ERR:0x%08X]", static_cast<unsigned>(::GetLastError()));
        return false;
    }
    // The worker owns its reference from here on.
    worker.release();
    thread_ = std::move(thread);
    return true;
}

bool MsiInstallThread::Stop(DWORD milliseconds) {
    if (!thread_) return true;
    shared_->stop = true;
    Clear();
    ::SetEvent(shared_->wake.get());
    switch (::WaitForSingleObject(thread_.get(), milliseconds)) {
    case WAIT_OBJECT_0:
        thread_.reset();
        return true;
    case WAIT_TIMEOUT:
        KILNLOG.Write(kLogError, "MsiInstallThread::Stop timeout, the worker is still busy");
        return false;
    default:
        KILNLOG.Write(kLogError, "MsiInstallThread::Stop wait failed[ERR:0x%08X]",
                      static_cast<unsigned>(::GetLastError()));
        return false;
    }
}

bool MsiInstallThread::Running() const {
    return thread_ && ::WaitForSingleObject(thread_.get(), 0) == WAIT_TIMEOUT;
}

void MsiInstallThread::Append(std::unique_ptr<MsiInstallRequest> request) {
    {
        lib::wfc::CriticalSectionLock hold(shared_->queueLock);
        shared_->queue.push_back(std::move(request));
    }
    // Signalled after the push: the auto-reset event stays set until the
    // worker waits again, so a request pushed just after the worker found the
    // queue empty is not left for the idle bound.
    ::SetEvent(shared_->wake.get());
}

void MsiInstallThread::Clear() { shared_->Clear(); }

unsigned __stdcall MsiInstallThread::Routine(void* parameter) {
    const std::unique_ptr<std::shared_ptr<Shared>> shared(static_cast<std::shared_ptr<Shared>*>(parameter));
    try {
        return (*shared)->Run();
    } catch (const std::exception& error) {
        KILNLOG.Write(kLogError, "MsiInstallThread::Run exception %s", error.what());
    } catch (...) {
        KILNLOG.Write(kLogError, "MsiInstallThread::Run exception");
    }
    return kFailedExitCode;
}

}  // namespace MsiInstaller
