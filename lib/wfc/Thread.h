#pragma once
// A worker thread that may own framework windows: its routine attaches the
// thread's dispatch context around Run.
//
// A derived class tells its Run to stop and joins the thread in its own
// destructor: by the time ~CThread runs, the derived part that Run uses is
// already gone. ~CThread only waits a little for a thread that is ending and
// terminates one that is not, so that it can never run on a freed object.
#include <windows.h>

#include "lib/UniqueHandle.h"

namespace lib::wfc {

class CThread {
public:
    CThread() = default;
    CThread(const CThread&) = delete;
    CThread& operator=(const CThread&) = delete;
    virtual ~CThread();

    // Starts a thread that runs Run; false when none could be made or one is still running.
    virtual bool Start();
    // The thread's work; its result is the thread's exit code.
    virtual unsigned Run() = 0;

    // Waits at most `milliseconds` for the thread to end; true when it has
    // ended or was never started.
    bool Join(DWORD milliseconds);

    HANDLE GetHandle() const noexcept { return thread_.get(); }
    DWORD GetId() const noexcept { return id_; }

    // Exit code of a thread whose Run let an exception out.
    static constexpr unsigned kFailedExitCode = 0xFFFFFFFFu;

private:
    static unsigned __stdcall Routine(void* parameter);

    KernelHandle thread_;
    DWORD id_ = 0;
};

}  // namespace lib::wfc
