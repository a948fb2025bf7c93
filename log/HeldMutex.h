#pragma once
// Ownership of a mutex for a scope: waited for on construction, released on
// destruction when it was acquired. The handle itself belongs to the caller.
#include <windows.h>

namespace kilnlog {

class CHeldMutex {
public:
    CHeldMutex(HANDLE mutex, DWORD timeoutMilliseconds) noexcept;
    CHeldMutex(const CHeldMutex&) = delete;
    CHeldMutex& operator=(const CHeldMutex&) = delete;
    ~CHeldMutex();

    bool held() const noexcept { return held_; }

private:
    HANDLE mutex_;
    bool held_ = false;
};

}  // namespace kilnlog
