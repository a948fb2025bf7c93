#pragma once
// Start and stop of the window framework and its process-wide state.
// Order of use: Initialize, AttachThread on each window thread (ThreadContext.h),
// windows live, DetachThread, Terminate.
#include <windows.h>

#include "lib/wfc/ThreadContext.h"

namespace lib::wfc {

// Stores the instance and name, installs a new-handler that throws
// lib::wfc::bad_alloc, starts the common controls and rich edit, registers the
// framework's messages and the default window class with the given icons, and
// allocates the thread slot (failure: std::bad_alloc).
void Initialize(HINSTANCE instance, const char* applicationName, HICON icon, HICON smallIcon);

// Puts back the previous new-handler and frees the thread slot.
void Terminate() noexcept;

HINSTANCE GetInstanceHandle() noexcept;
const char* GetApplicationName() noexcept;

// Registered ids of "TaskbarCreated" and "WFC-InternalMessage" (0 before Initialize).
UINT GetTaskbarCreatedMessage() noexcept;
UINT GetInternalMessage() noexcept;

}  // namespace lib::wfc
