#pragma once
// The per-file locks: one named mutex per log file name, shared by every
// writer of that file in any process. Each name's handle is opened once and
// kept for the life of the process, so a record costs only the wait and the
// release.
#include <windows.h>

namespace kilnlog {

// This process's handle of the mutex named `name`, created on first use;
// null (with GetLastError set) when it cannot be created.
HANDLE LogFileMutex(const char* name) noexcept;

}  // namespace kilnlog
