#pragma once
// The process-wide log settings, written only by Start.
namespace kilnlog {

constexpr long long kDefaultSizeLimit = 4096LL * 1024;

// Size in bytes beyond which the log is moved to its backup.
long long SizeLimit() noexcept;
void SetSizeLimit(long long bytes) noexcept;

// Whether detailed trace records are written.
bool RecoverOn() noexcept;
void SetRecover(bool on) noexcept;

// [Log] Recover of "CVLOG.ini" beside the program: true when non-zero.
bool ReadRecoverSetting() noexcept;

}  // namespace kilnlog
