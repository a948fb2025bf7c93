#include "log/HeldMutex.h"

namespace kilnlog {

CHeldMutex::CHeldMutex(HANDLE mutex, DWORD timeoutMilliseconds) noexcept : mutex_(mutex) {
    if (!mutex_) return;
    // A holder that died without releasing still leaves the file usable.
    const DWORD wait = ::WaitForSingleObject(mutex_, timeoutMilliseconds);
    held_ = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
}

CHeldMutex::~CHeldMutex() {
    if (held_) ::ReleaseMutex(mutex_);
}

}  // namespace kilnlog
