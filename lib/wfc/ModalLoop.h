#pragma once
// Message loops run by the framework outside the program's main loop.
#include <windows.h>

namespace lib::wfc {

// Gets and dispatches one message; true when it was WM_QUIT (not
// dispatched; its exit code goes to *quitCode when given).
bool PumpMessage(WPARAM* quitCode = nullptr);

// Runs messages while `hwnd` is modal over `owner` (may be null): the owner is
// disabled meanwhile. Ends when `done` becomes true, when `hwnd` is destroyed,
// when a visible owner is hidden, or on WM_QUIT, which is posted again for the
// loop further out.
void RunModalLoop(HWND hwnd, HWND owner, const bool& done);

}  // namespace lib::wfc
