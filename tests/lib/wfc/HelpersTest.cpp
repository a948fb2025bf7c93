// The framework's small helpers: centring, the IME switch, context menus and
// the exception family.
#include <gtest/gtest.h>
#include <windows.h>
#include <imm.h>

#include <limits>

#include "lib/Exception.h"
#include "lib/wfc/CenterWindow.h"
#include "lib/wfc/ContextMenu.h"
#include "lib/wfc/bad_alloc.h"
#include "tests/lib/wfc/WfcTestSupport.h"

namespace {

using namespace lib::wfc;

RECT WorkArea() {
    RECT area{};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

TEST(CenterWindow, CentresOnTheScreenOrAWindowButStaysInsideTheWorkArea) {
    test::TestWindow window, corner;
    window.CreatePopup();
    window.CenterWindow(nullptr);
    RECT screen{};
    ::GetWindowRect(::GetDesktopWindow(), &screen);
    RECT placed = window.GetWindowRect();
    EXPECT_EQ((screen.right - screen.left - 200) / 2, placed.left);
    EXPECT_EQ((screen.bottom - screen.top - 100) / 2, placed.top);

    // Centred on a window in the bottom-right corner it would stick out.
    const RECT area = WorkArea();
    corner.CreatePopup();
    corner.MoveWindow(area.right - 20, area.bottom - 10, 40, 20, false);
    window.CenterWindow(corner.GetHandle());
    placed = window.GetWindowRect();
    EXPECT_EQ(area.right - 200, placed.left);
    EXPECT_EQ(area.bottom - 100, placed.top);
    EXPECT_EQ(200, placed.right - placed.left);

    // Larger than the work area: its top-left corner stays visible.
    window.MoveWindow(0, 0, area.right - area.left + 300, 50, false);
    window.CenterWindow(nullptr);
    EXPECT_EQ(area.left, window.GetWindowRect().left);
}

TEST(EnableIme, DetachesAndRestoresTheInputContext) {
    test::TestWindow window;
    window.CreatePopup();
    HIMC before = ::ImmGetContext(window.GetHandle());
    ::ImmReleaseContext(window.GetHandle(), before);
    ASSERT_TRUE(before) << "no input context to detach";

    window.EnableIme(false);
    window.EnableIme(false);  // a second detach must not lose the saved context
    HIMC detached = ::ImmGetContext(window.GetHandle());
    EXPECT_EQ(nullptr, detached);
    if (detached) ::ImmReleaseContext(window.GetHandle(), detached);

    window.EnableIme(true);
    HIMC restored = ::ImmGetContext(window.GetHandle());
    EXPECT_EQ(before, restored);
    ::ImmReleaseContext(window.GetHandle(), restored);
}

TEST(ContextMenu, BuildsItemsAndSubmenusInOrder) {
    CContextMenu menu;
    // A submenu first: the menu itself is made on demand for it too.
    menu.AppendSubmenu({{21, "Sub one", MF_STRING}, {22, "Sub two", MF_STRING | MF_GRAYED}}, "More");
    HMENU handle = menu.AppendItem(10, "Home", MF_STRING);
    ASSERT_TRUE(handle);
    EXPECT_EQ(handle, menu.AppendItem(0, nullptr, MF_SEPARATOR));
    EXPECT_EQ(3, ::GetMenuItemCount(handle));

    char text[32] = {};
    HMENU submenu = ::GetSubMenu(handle, 0);
    ASSERT_TRUE(submenu);
    ::GetMenuStringA(handle, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ("More", text);
    EXPECT_EQ(2, ::GetMenuItemCount(submenu));
    EXPECT_EQ(22u, ::GetMenuItemID(submenu, 1));
    EXPECT_TRUE(::GetMenuState(submenu, 22, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_EQ(10u, ::GetMenuItemID(handle, 1));
    EXPECT_TRUE(::GetMenuState(handle, 2, MF_BYPOSITION) & MF_SEPARATOR);

    menu.Destroy();
    EXPECT_EQ(nullptr, menu.GetHandle());
    EXPECT_FALSE(::IsMenu(handle));
}

TEST(Exceptions, ThrowRethrowsAsTheBranchBaseAndTheNewHandlerThrowsBadAlloc) {
    try {
        lib::IOException("disk").Throw();
    } catch (const lib::RuntimeException& error) {
        EXPECT_STREQ("disk", error.what());
    }
    try {
        lib::IlligalArgumentException("argument").Throw();
    } catch (const lib::LogicalException& error) {
        EXPECT_STREQ("argument", error.what());
    }
    EXPECT_STREQ("", lib::LogicalException().what());

    volatile std::size_t huge = std::numeric_limits<std::size_t>::max() / 2;
    EXPECT_THROW(::operator delete(::operator new(huge)), lib::wfc::bad_alloc);
}

}  // namespace
