#include "updater/MsiInstallThread.h"

#include <process.h>

#include <exception>
#include <utility>

#include "log/KilnLogWrapper.h"

namespace MsiInstaller {
namespace {

// The worker is woken for each request and for stopping; this bound only
// keeps its wait finite should a wake-up ever be missed.
constexpr DWORD kIdleWait = 5000;
constexpr DWORD kDestructorStopWait = 5000;
// How long a terminated worker is given to be gone before its handle is closed.
constexpr DWORD kTerminatedWait = 1000;
constexpr unsigned kFailedExitCode = 0xFFFFFFFFu;

}  // namespace

MsiInstallThread::MsiInstallThread() : wake_(::CreateEventA(nullptr, FALSE, FALSE, nullptr)) {}

MsiInstallThread::~MsiInstallThread() { Stop(kDestructorStopWait); }

bool MsiInstallThread::Start() {
    if (Running()) return true;
    thread_.reset();
    if (!wake_) return false;
    stop_ = false;
    unsigned id = 0;
    lib::KernelHandle thread(
        reinterpret_cast<HANDLE>(::_beginthreadex(nullptr, 0, &Routine, this, CREATE_SUSPENDED, &id)));
    if (!thread || ::ResumeThread(thread.get()) == static_cast<DWORD>(-1)) {
        KILNLOG.Write(kLogError, "MsiInstallThread::Start failed[ERR:0x%08X]", static_cast<unsigned>(::GetLastError()));
        if (thread) ::TerminateThread(thread.get(), kFailedExitCode);
        return false;
    }
    thread_ = std::move(thread);
    return true;
}

bool MsiInstallThread::Stop(DWORD milliseconds) {
    if (!thread_) return true;
    stop_ = true;
    ::SetEvent(wake_.get());
    bool stopped = false;
    switch (::WaitForSingleObject(thread_.get(), milliseconds)) {
    case WAIT_OBJECT_0:
    case WAIT_ABANDONED:
        stopped = true;
        thread_.reset();
        break;
    case WAIT_TIMEOUT:
        KILNLOG.Write(kLogError, "MsiInstallThread::Stop timeout, worker terminated");
        stopped = ::TerminateThread(thread_.get(), kFailedExitCode) != FALSE;
        if (stopped) ::WaitForSingleObject(thread_.get(), kTerminatedWait);
        thread_.reset();
        break;
    default:
        KILNLOG.Write(kLogError, "MsiInstallThread::Stop wait failed[ERR:0x%08X]",
                      static_cast<unsigned>(::GetLastError()));
        break;
    }
    Clear();
    return stopped;
}

bool MsiInstallThread::Running() const {
    return thread_ && ::WaitForSingleObject(thread_.get(), 0) == WAIT_TIMEOUT;
}

void MsiInstallThread::Append(std::unique_ptr<MsiInstallRequest> request) {
    {
        lib::wfc::CriticalSectionLock hold(queueLock_);
        queue_.push_back(std::move(request));
    }
    // Signalled after the push: the auto-reset event stays set until the
    // worker waits again, so a request pushed just after the worker found the
    // queue empty is not left for the idle bound.
    ::SetEvent(wake_.get());
}

void MsiInstallThread::Clear() {
    // Declared first, so the requests are deleted after the lock is left.
    std::deque<std::unique_ptr<MsiInstallRequest>> dropped;
    lib::wfc::CriticalSectionLock hold(queueLock_);
    dropped.swap(queue_);
}

std::unique_ptr<MsiInstallRequest> MsiInstallThread::TakeFront() {
    lib::wfc::CriticalSectionLock hold(queueLock_);
    if (queue_.empty()) return nullptr;
    std::unique_ptr<MsiInstallRequest> request = std::move(queue_.front());
    queue_.pop_front();
    return request;
}

unsigned MsiInstallThread::Run() {
    while (!stop_) {
        while (std::unique_ptr<MsiInstallRequest> request = TakeFront()) {
            request->DoAction();
            if (stop_) break;
        }
        ::WaitForSingleObject(wake_.get(), kIdleWait);
    }
    return 0;
}

unsigned __stdcall MsiInstallThread::Routine(void* parameter) {
    try {
        return static_cast<MsiInstallThread*>(parameter)->Run();
    } catch (const std::exception& error) {
        KILNLOG.Write(kLogError, "MsiInstallThread::Run exception %s", error.what());
    } catch (...) {
        KILNLOG.Write(kLogError, "MsiInstallThread::Run exception");
    }
    return kFailedExitCode;
}

}  // namespace MsiInstaller
