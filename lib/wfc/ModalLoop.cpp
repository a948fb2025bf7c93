#include "lib/wfc/ModalLoop.h"

namespace lib::wfc {

bool PumpMessage(WPARAM* quitCode) {
    MSG message{};
    const BOOL result = ::GetMessageA(&message, nullptr, 0, 0);
    if (result == 0) {
        if (quitCode) *quitCode = message.wParam;
        return true;
    }
    if (result == -1) return false;
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
    return false;
}

void RunModalLoop(HWND hwnd, HWND owner, const bool& done) {
    const bool ownerWasVisible = owner && ::IsWindowVisible(owner);
    if (::GetActiveWindow() == owner) ::SetActiveWindow(hwnd);
    bool disabledOwner = false;
    if (owner && ::IsWindowEnabled(owner)) {
        ::EnableWindow(owner, FALSE);
        disabledOwner = true;
    }

    while (!done) {
        WPARAM quitCode = 0;
        if (PumpMessage(&quitCode)) {
            // The program's own loop must still see the quit request.
            ::PostQuitMessage(static_cast<int>(quitCode));
            break;
        }
        if (!::IsWindow(hwnd)) break;
        if (ownerWasVisible && !::IsWindowVisible(owner)) break;
    }

    if (!::IsWindow(owner)) return;
    if (disabledOwner) ::EnableWindow(owner, TRUE);
    if (::IsWindow(hwnd) && ::GetActiveWindow() == hwnd) ::SetActiveWindow(owner);
}

}  // namespace lib::wfc
