#include "log/KilnlogPathString.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "lib/UniqueHandle.h"
#include "log/HeldMutex.h"

void CKilnlogPathString::Set(const char* path) noexcept {
    // Concurrent first writers must agree on one path.
    char name[64];
    std::snprintf(name, sizeof name, "KilnLogPathStringMutex_%08X_%08X",
                  static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(this)),
                  static_cast<unsigned>(::GetCurrentProcessId()));
    const lib::KernelHandle mutex(::CreateMutexA(nullptr, FALSE, name));
    const kilnlog::CHeldMutex lock(mutex.get(), INFINITE);
    if (!lock.held() || IsSet() || !path || std::strlen(path) >= sizeof path_) return;
    std::strcpy(path_, path);
    // Readers take the path without the mutex once they see the flag.
    set_.store(1, std::memory_order_release);
}
