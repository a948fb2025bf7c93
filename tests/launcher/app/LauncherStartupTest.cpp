// Runs the real Ravelin_Launcher.exe as a user would and watches it from
// outside: its marker window, its single-instance rule, its exit code and its log.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "RavelinVersion.h"
#include "log/LogFolders.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/ScratchFolder.h"

namespace {

constexpr DWORD kBound = 15000;

std::string LauncherCommand() { return "\"" + test::BesideSelf("Ravelin_Launcher.exe") + "\""; }

std::string LauncherLogPath() { return GetLogFolder() + "Ravelin_Launcher_sys.log"; }

// The marker window of the launcher running as `processId`, once its message loop runs.
HWND WaitForMarkerWindow(const test::ChildProcess& launcher) {
    ::WaitForInputIdle(launcher.handle(), kBound);
    for (int attempt = 0; attempt < 100; ++attempt) {
        HWND window = nullptr;
        while ((window = ::FindWindowExA(nullptr, window, "CORVANELAUNCHER", "Ravelin_Launcher"))) {
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            if (owner == launcher.id()) return window;
        }
        ::Sleep(50);
    }
    return nullptr;
}

size_t Count(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

TEST(LauncherStartup, RunsOnceWithAnInvisibleMarkerAndEndsWhenTheMarkerIsDestroyed) {
    const size_t logSizeBefore = test::ReadWholeFile(LauncherLogPath()).size();

    test::ChildProcess first(LauncherCommand());
    ASSERT_TRUE(first.started());
    HWND marker = WaitForMarkerWindow(first);
    ASSERT_NE(nullptr, marker);
    EXPECT_FALSE(::IsWindowVisible(marker));

    // A second launcher gives up at once and leaves the first one alone.
    test::ChildProcess second(LauncherCommand());
    ASSERT_TRUE(second.started());
    DWORD secondExit = 0;
    ASSERT_TRUE(second.Wait(kBound, &secondExit));
    EXPECT_EQ(static_cast<DWORD>(-1), secondExit);
    EXPECT_TRUE(first.Running());
    EXPECT_TRUE(::IsWindow(marker));
    EXPECT_FALSE(::IsWindowVisible(marker));

    // Closing the marker destroys it, which ends the launcher's loop.
    ::PostMessageA(marker, WM_CLOSE, 0, 0);
    DWORD firstExit = 1;
    ASSERT_TRUE(first.Wait(kBound, &firstExit));
    EXPECT_EQ(0u, firstExit);

    // Exactly one start banner was added, by the first launcher, with the file version.
    const std::string added = test::ReadWholeFile(LauncherLogPath()).substr(logSizeBefore);
    EXPECT_EQ(1u, Count(added, "==========<開始(" RAVELIN_VERSION_TEXT ")>==========\r\n")) << added;
    EXPECT_EQ(1u, Count(added, "\t==\tCorvaneLauncher\t60\t")) << added;
}

}  // namespace
