#include "launcher/update/AbandonedThreads.h"

#include <algorithm>
#include <mutex>
#include <utility>
#include <vector>

#include "log/KilnLogWrapper.h"

namespace update {
namespace {

bool Ended(const lib::KernelHandle& thread) { return ::WaitForSingleObject(thread.get(), 0) == WAIT_OBJECT_0; }

class ThreadList {
public:
    // Made at the first abandoned thread, after the log: gone before it, so a
    // late thread can still write its records while this waits.
    ~ThreadList() {
        if (!WaitAll(kAbandonedThreadBound))
            KILNLOG.Write(kLogError, "abandoned threads still running at exit: %u", static_cast<unsigned>(Count()));
    }

    void Add(lib::KernelHandle thread) {
        std::lock_guard<std::mutex> guard(lock_);
        Prune();
        threads_.push_back(std::move(thread));
    }

    bool WaitAll(DWORD milliseconds) {
        const DWORD start = ::GetTickCount();
        for (;;) {
            lib::KernelHandle next = FirstRunning();
            if (!next) return true;
            const DWORD elapsed = ::GetTickCount() - start;
            if (elapsed >= milliseconds) return false;
            ::WaitForSingleObject(next.get(), milliseconds - elapsed);
        }
    }

    std::size_t Count() {
        std::lock_guard<std::mutex> guard(lock_);
        Prune();
        return threads_.size();
    }

private:
    // A copy of the first listed handle, to wait on outside the lock; none when all have ended.
    lib::KernelHandle FirstRunning() {
        std::lock_guard<std::mutex> guard(lock_);
        Prune();
        HANDLE process = ::GetCurrentProcess();
        while (!threads_.empty()) {
            HANDLE copy = nullptr;
            if (::DuplicateHandle(process, threads_.front().get(), process, &copy, SYNCHRONIZE, FALSE, 0))
                return lib::KernelHandle(copy);
            // Not waitable: nothing else can be done with it.
            threads_.erase(threads_.begin());
        }
        return lib::KernelHandle();
    }

    void Prune() {
        threads_.erase(std::remove_if(threads_.begin(), threads_.end(), Ended), threads_.end());
    }

    std::mutex lock_;
    std::vector<lib::KernelHandle> threads_;
};

ThreadList& Threads() {
    static ThreadList threads;
    return threads;
}

}  // namespace

void AbandonThread(lib::KernelHandle thread) {
    if (thread) Threads().Add(std::move(thread));
}

bool WaitForAbandonedThreads(DWORD milliseconds) { return Threads().WaitAll(milliseconds); }

std::size_t AbandonedThreadCount() { return Threads().Count(); }

}  // namespace update
