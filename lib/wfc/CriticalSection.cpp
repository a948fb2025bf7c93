#include "lib/wfc/CriticalSection.h"

namespace lib::wfc {

CCriticalSection::CCriticalSection() noexcept { ::InitializeCriticalSection(&section_); }

CCriticalSection::~CCriticalSection() { ::DeleteCriticalSection(&section_); }

void CCriticalSection::Enter() noexcept { ::EnterCriticalSection(&section_); }

void CCriticalSection::Leave() noexcept { ::LeaveCriticalSection(&section_); }

CriticalSectionLock::CriticalSectionLock(CCriticalSection& section, bool lockNow) noexcept : section_(&section) {
    if (lockNow) Lock();
}

CriticalSectionLock::~CriticalSectionLock() { Unlock(); }

void CriticalSectionLock::Lock() noexcept {
    if (locked_) return;
    section_->Enter();
    locked_ = true;
}

void CriticalSectionLock::Unlock() noexcept {
    if (!locked_) return;
    locked_ = false;
    section_->Leave();
}

}  // namespace lib::wfc
