#include "log/LogSettings.h"

#include <windows.h>

#include <atomic>

#include "log/ProgramFile.h"

namespace kilnlog {
namespace {

std::atomic<long long> sizeLimit{kDefaultSizeLimit};
std::atomic<bool> recover{false};

}  // namespace

long long SizeLimit() noexcept { return sizeLimit.load(std::memory_order_relaxed); }
void SetSizeLimit(long long bytes) noexcept { sizeLimit.store(bytes, std::memory_order_relaxed); }

bool RecoverOn() noexcept { return recover.load(std::memory_order_relaxed); }
void SetRecover(bool on) noexcept { recover.store(on, std::memory_order_relaxed); }

bool ReadRecoverSetting() noexcept try {
    const std::string settings = ProgramFolder() + "CVLOG.ini";
    return ::GetPrivateProfileIntA("Log", "Recover", 0, settings.c_str()) != 0;
} catch (...) {
    return false;
}

}  // namespace kilnlog
