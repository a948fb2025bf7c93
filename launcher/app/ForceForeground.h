#pragma once
#include <windows.h>

// Brings `target` to the foreground even when another process's thread owns
// the foreground, by sharing that thread's input state for the moment.
void ForceForeground(HWND target);
