#pragma once
// Loads, on a thread of its own, what the first HTTPS request of the process
// needs and would otherwise load while the user waits: the trusted root
// certificates and the TLS provider. It starts once the thread's message
// loop is first idle, which is when the start-up notice is on screen, so it
// neither slows the notice nor the update check that follows it.
#include <windows.h>

#include "lib/UniqueHandle.h"

namespace launcher {

class CSecureConnectionWarmUp {
public:
    // How long the end of the run waits for loading still under way; the
    // loading cannot be interrupted and ends by itself.
    static constexpr DWORD kEndBound = 5000;

    // One per process, made on the thread whose loop shows the notice.
    CSecureConnectionWarmUp();
    CSecureConnectionWarmUp(const CSecureConnectionWarmUp&) = delete;
    CSecureConnectionWarmUp& operator=(const CSecureConnectionWarmUp&) = delete;
    ~CSecureConnectionWarmUp();

private:
    static void CALLBACK OnIdle(HWND, UINT, UINT_PTR timer, DWORD);
    static unsigned __stdcall Load(void*);

    UINT_PTR timer_ = 0;
    lib::KernelHandle thread_;
};

}  // namespace launcher
