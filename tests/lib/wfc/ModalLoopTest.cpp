// The modal loop ends on `done`, on destruction of its window, when a visible
// owner is hidden, and on WM_QUIT, which it leaves for the loop further out.
#include <gtest/gtest.h>

#include <functional>

#include "lib/wfc/ModalLoop.h"
#include "tests/lib/wfc/WfcTestSupport.h"

namespace {

using lib::wfc::RunModalLoop;

// Runs `action` on its first timer tick, from inside the loop under test.
class TimedWindow : public test::TestWindow {
public:
    explicit TimedWindow(std::function<void()> action) : action_(std::move(action)) {}
    void OnTimer(UINT_PTR id) override {
        KillTimer(id);
        action_();
    }

private:
    std::function<void()> action_;
};

TEST(ModalLoop, EndsWhenDoneIsSet) {
    test::ModalGuard guard;
    bool done = false;
    TimedWindow window([&] { done = true; });
    window.CreatePopup();
    window.SetTimer(1, 10);
    RunModalLoop(window.GetHandle(), nullptr, done);
    EXPECT_FALSE(guard.fired());
    EXPECT_TRUE(::IsWindow(window.GetHandle()));
}

TEST(ModalLoop, EndsWhenItsWindowIsDestroyed) {
    test::ModalGuard guard;
    const bool done = false;
    TimedWindow window([&] { ::DestroyWindow(window.GetHandle()); });
    window.CreatePopup();
    HWND hwnd = window.GetHandle();
    window.SetTimer(1, 10);
    RunModalLoop(hwnd, nullptr, done);
    EXPECT_FALSE(guard.fired());
    EXPECT_FALSE(::IsWindow(hwnd));
}

TEST(ModalLoop, DisablesTheOwnerMeanwhileAndEndsWhenTheOwnerIsHidden) {
    test::ModalGuard guard;
    const bool done = false;
    test::TestWindow owner;
    owner.CreatePopup(true);
    bool ownerEnabledInside = true;
    TimedWindow window([&] {
        ownerEnabledInside = ::IsWindowEnabled(owner.GetHandle());
        owner.ShowWindow(SW_HIDE);
    });
    window.CreatePopup(false, owner.GetHandle());
    window.SetTimer(1, 10);
    RunModalLoop(window.GetHandle(), owner.GetHandle(), done);
    EXPECT_FALSE(guard.fired());
    EXPECT_FALSE(ownerEnabledInside);
    EXPECT_TRUE(::IsWindowEnabled(owner.GetHandle()));
}

TEST(ModalLoop, EndsOnQuitAndPostsItAgain) {
    test::ModalGuard guard;
    const bool done = false;
    TimedWindow window([] { ::PostQuitMessage(7); });
    window.CreatePopup();
    window.SetTimer(1, 10);
    RunModalLoop(window.GetHandle(), nullptr, done);
    EXPECT_FALSE(guard.fired());
    MSG quit{};
    EXPECT_TRUE(::PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(7u, quit.wParam);

    // PumpMessage itself reports the quit request instead of dispatching it.
    ::PostQuitMessage(3);
    WPARAM quitCode = 0;
    for (int pumped = 0; !lib::wfc::PumpMessage(&quitCode) && pumped < 100; ++pumped) {
    }
    EXPECT_EQ(3u, quitCode);
}

}  // namespace
