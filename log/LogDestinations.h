#pragma once
// The two destinations of this process: the main log, set by Start, and the
// system log, set on first use.
class CKilnlogPathString;

namespace kilnlog {

CKilnlogPathString& MainLog() noexcept;

// "<log folder><program>_sys.log", stored the first time it is asked for.
const char* SystemLogPath() noexcept;

}  // namespace kilnlog
