#pragma once
// A system critical section (re-entrant for the owning thread) and the scoped
// lock that holds it.
#include <windows.h>

namespace lib::wfc {

class CCriticalSection {
public:
    CCriticalSection() noexcept;
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;
    virtual ~CCriticalSection();

    void Enter() noexcept;
    void Leave() noexcept;

private:
    CRITICAL_SECTION section_;
};

// Holds `section` from Lock (or construction with lockNow) to Unlock or the
// end of the scope. Lock and Unlock are counted once: locking twice through
// one lock object enters the section once.
class CriticalSectionLock {
public:
    explicit CriticalSectionLock(CCriticalSection& section, bool lockNow = true) noexcept;
    CriticalSectionLock(const CriticalSectionLock&) = delete;
    CriticalSectionLock& operator=(const CriticalSectionLock&) = delete;
    ~CriticalSectionLock();

    void Lock() noexcept;
    void Unlock() noexcept;

private:
    CCriticalSection* section_;
    bool locked_ = false;
};

}  // namespace lib::wfc
