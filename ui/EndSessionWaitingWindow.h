#pragma once
// Keeps Windows from ending the session while the window still exists: the
// end-session message returns only once the application has destroyed the
// window, so that its shutdown work completes first.
#include <windows.h>

#include <utility>

#include "lib/wfc/ModalLoop.h"

namespace ui {

template <typename Base>
class CEndSessionWaitingWindow : public Base {
public:
    template <typename... Args>
    explicit CEndSessionWaitingWindow(Args&&... args) : Base(std::forward<Args>(args)...) {}
    ~CEndSessionWaitingWindow() override = default;

    void OnEndSession(bool ending, LPARAM reason) override {
        if (ending) {
            WaitUntilDestroyed(this->GetHandle());
            // The window is gone, and its object may be with it: nothing is left to process.
            return;
        }
        Base::OnEndSession(ending, reason);
    }

private:
    // Runs messages until `window` no longer exists. The object is not
    // touched meanwhile: its owner may delete it once the window is gone.
    static void WaitUntilDestroyed(HWND window) {
        bool quit = false;
        WPARAM quitCode = 0;
        while (::IsWindow(window)) {
            WPARAM code = 0;
            if (lib::wfc::PumpMessage(&code)) {
                // Kept for the main loop, and posted once when the wait ends:
                // posted again at once it would come straight back and spin.
                quit = true;
                quitCode = code;
            }
        }
        if (quit) ::PostQuitMessage(static_cast<int>(quitCode));
    }
};

}  // namespace ui
