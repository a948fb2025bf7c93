#include "launcher/app/ForceForeground.h"

void ForceForeground(HWND target) {
    HWND foreground = ::GetForegroundWindow();
    if (!foreground) {
        if (HWND shell = ::FindWindowA("Progman", "Program Manager")) {
            ::SetForegroundWindow(shell);
            foreground = ::GetForegroundWindow();
        }
    }
    DWORD foregroundThread = foreground ? ::GetWindowThreadProcessId(foreground, nullptr) : 0;
    DWORD targetThread = ::GetWindowThreadProcessId(target, nullptr);
    if (!foreground || foregroundThread == targetThread) {
        ::SetForegroundWindow(target);
        return;
    }
    ::AttachThreadInput(targetThread, foregroundThread, TRUE);
    ::SetForegroundWindow(target);
    ::SetFocus(target);
    ::BringWindowToTop(target);
    ::AttachThreadInput(targetThread, foregroundThread, FALSE);
}
