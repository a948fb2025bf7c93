#pragma once
// Shared pieces of the framework tests: the framework started for the whole
// test program, test windows that destroy themselves, and bounded waits.
#include <windows.h>

#include <functional>

#include "lib/wfc/Window.h"

namespace test {

// Initialize + AttachThread for its lifetime (the framework of one process).
class FrameworkSession {
public:
    FrameworkSession();
    FrameworkSession(const FrameworkSession&) = delete;
    FrameworkSession& operator=(const FrameworkSession&) = delete;
    ~FrameworkSession();
};

// A framework window that destroys its window when the object goes away.
class TestWindow : public lib::wfc::CWindow {
public:
    ~TestWindow() override;
    // A hidden (or shown, not activated) popup of the default class at (100, 100), 200 x 100.
    void CreatePopup(bool visible = false, HWND owner = nullptr);
};

// Dispatches this thread's messages until done() is true or `milliseconds`
// have passed; returns done().
bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds = 5000);

// A thread timer that ends a modal loop under test (WM_QUIT) should the loop
// not end by itself; fired() tells the test that it had to.
class ModalGuard {
public:
    explicit ModalGuard(UINT milliseconds = 5000);
    ModalGuard(const ModalGuard&) = delete;
    ModalGuard& operator=(const ModalGuard&) = delete;
    ~ModalGuard();
    bool fired() const;

private:
    UINT_PTR timer_;
};

}  // namespace test
