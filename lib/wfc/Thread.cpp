#include "lib/wfc/Thread.h"

#include <process.h>

#include <exception>

#include "lib/wfc/ThreadContext.h"
#include "log/KilnLogWrapper.h"

namespace lib::wfc {
namespace {

// How long a destroyed thread object waits for a thread that was not joined.
constexpr DWORD kEndingThreadWait = 5000;

}  // namespace

CThread::~CThread() {
    if (Join(kEndingThreadWait)) return;
    KILNLOG.Write(kLogError, "スレッド終了待ちタイムアウト ID:%lu", static_cast<unsigned long>(id_));
    ::TerminateThread(thread_.get(), kFailedExitCode);
    ::WaitForSingleObject(thread_.get(), kEndingThreadWait);
}

bool CThread::Start() {
    if (!Join(0)) return false;
    unsigned id = 0;
    // Suspended, so that handle and id are stored before Run can look at them.
    thread_.reset(reinterpret_cast<HANDLE>(::_beginthreadex(nullptr, 0, &Routine, this, CREATE_SUSPENDED, &id)));
    id_ = id;
    if (thread_ && ::ResumeThread(thread_.get()) != static_cast<DWORD>(-1)) return true;
    if (thread_) ::TerminateThread(thread_.get(), kFailedExitCode);
    thread_.reset();
    id_ = 0;
    return false;
}

bool CThread::Join(DWORD milliseconds) {
    return !thread_ || ::WaitForSingleObject(thread_.get(), milliseconds) == WAIT_OBJECT_0;
}

unsigned __stdcall CThread::Routine(void* parameter) {
    unsigned exitCode = kFailedExitCode;
    try {
        AttachThread();
        exitCode = static_cast<CThread*>(parameter)->Run();
    } catch (const std::exception& error) {
        KILNLOG.Write(kLogError, "スレッド致命的エラー %s", error.what());
    } catch (...) {
        KILNLOG.Write(kLogError, "スレッド致命的エラー unknown exception");
    }
    DetachThread();
    return exitCode;
}

}  // namespace lib::wfc
