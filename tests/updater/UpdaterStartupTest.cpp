// RavelinUpdate.exe from outside: which command lines it accepts, how it
// finds and announces itself to the launcher, its single-instance rule and
// how it ends.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "RavelinVersion.h"
#include "lib/UniqueHandle.h"
#include "tests/support/ChildProcess.h"
#include "tests/updater/LauncherStandIn.h"
#include "tests/updater/UpdaterProgram.h"

namespace updatertest {
namespace {

constexpr DWORD kRefused = static_cast<DWORD>(-1);
constexpr DWORD kNotEnded = 0xDEADu;

DWORD ExitCodeOf(const std::string& arguments) {
    test::ChildProcess updater(UpdaterCommand(arguments));
    DWORD code = kNotEnded;
    updater.Wait(kBound, &code);
    return code;
}

TEST(UpdaterStartup, AcceptsOnlyTheExactWords) {
    LauncherStandIn launcher;
    ASSERT_NE(nullptr, launcher.window());
    const LogWatch log;
    for (const char* arguments : {"launcher", "Launcher ", "", "LAUNCHER", "Launcher removeall", "Removeall"}) {
        EXPECT_EQ(kRefused, ExitCodeOf(arguments)) << '"' << arguments << '"';
    }
    // Refused before anything else: no announcement, no log record.
    EXPECT_EQ(0, launcher.announcements());
    EXPECT_EQ("", log.Added());
}

TEST(UpdaterStartup, WithoutLauncherWindowLogsAndGivesUp) {
    const LogWatch log;
    EXPECT_EQ(kRefused, ExitCodeOf("Launcher"));
    const std::string added = log.Added();
    // Written before the log has a destination, so preceded by the library's notice.
    EXPECT_EQ(1u, Count(added, "出力先が設定されていません。デフォルト出力先を使用します\r\n")) << added;
    EXPECT_EQ(1u, Count(added, "\t!!\tVedaZavuzuvez.cpp\t255\t")) << added;
    EXPECT_EQ(1u, Count(added, "\tFindWindow LAUNCHER failed\r\n")) << added;
    EXPECT_EQ(0u, Count(added, "Start version up")) << added;
    EXPECT_EQ(0u, Count(added, "<開始(")) << added;
}

TEST(UpdaterStartup, RunsOnceAnnouncesEveryStartAndEndsWithItsWindow) {
    LauncherStandIn launcher;
    ASSERT_NE(nullptr, launcher.window());
    const LogWatch log;

    test::ChildProcess first(UpdaterCommand("Launcher"));
    HWND window = WaitForRequestWindow(first);
    ASSERT_NE(nullptr, window);
    EXPECT_TRUE(launcher.WaitForAnnouncements(1, kBound));

    // A second updater still announces itself, then leaves the first alone.
    EXPECT_EQ(kRefused, ExitCodeOf("Launcher"));
    EXPECT_TRUE(launcher.WaitForAnnouncements(2, kBound));
    EXPECT_TRUE(first.Running());
    EXPECT_TRUE(::IsWindow(window));

    // Closing the window ends the loop; the worker stops well within its bound.
    const DWORD closed = ::GetTickCount();
    ::PostMessageA(window, WM_CLOSE, 0, 0);
    DWORD exitCode = kNotEnded;
    ASSERT_TRUE(first.Wait(kBound, &exitCode));
    EXPECT_LT(::GetTickCount() - closed, 5000u);
    EXPECT_EQ(0u, exitCode);
    EXPECT_EQ(2, launcher.announcements());
    EXPECT_TRUE(launcher.notifications().empty());

    const std::string added = log.Added();
    EXPECT_EQ(2u, Count(added, "\t..\tVedaZavuzuvez.cpp\t")) << added;
    EXPECT_EQ(2u, Count(added, "\tStart version up\r\n")) << added;
    EXPECT_EQ(1u, Count(added, "\t==\tVedaZavuzuvez.cpp\t")) << added;
    EXPECT_EQ(1u, Count(added, "==========<開始(" RAVELIN_VERSION_TEXT ")>==========\r\n")) << added;
    EXPECT_EQ(1u, Count(added, "\t--\tVedaZavuzuvez.cpp\t")) << added;
    // The end banner is the last record.
    const std::string endBanner = "----------<終了>----------\r\n\r\n";
    ASSERT_GE(added.size(), endBanner.size());
    EXPECT_EQ(endBanner, added.substr(added.size() - endBanner.size())) << added;
}

// The launcher has more than one window of that title (its marker window, the
// launch window, a message box it owns); the silent-install window must hear
// the announcement wherever it stands in the z-order.
TEST(UpdaterStartup, AnnouncesToEveryLauncherWindowOfTheTitle) {
    LauncherStandIn below, above;
    ASSERT_NE(nullptr, below.window());
    ASSERT_NE(nullptr, above.window());
    test::ChildProcess updater(UpdaterCommand("Launcher"));
    HWND window = WaitForRequestWindow(updater);
    ASSERT_NE(nullptr, window);
    EXPECT_TRUE(below.WaitForAnnouncements(1, kBound));
    EXPECT_TRUE(above.WaitForAnnouncements(1, kBound));
    ::PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(updater.Wait(kBound, nullptr));
}

TEST(UpdaterStartup, AsksForAdministratorRightsAndCarriesItsWindowResources) {
    lib::LibraryHandle program(
        ::LoadLibraryExA(test::BesideSelf("RavelinUpdate.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(program);
    HRSRC manifest = ::FindResourceA(program.get(), MAKEINTRESOURCEA(1), RT_MANIFEST);
    ASSERT_NE(nullptr, manifest);
    const std::string manifestText(static_cast<const char*>(::LockResource(::LoadResource(program.get(), manifest))),
                                   ::SizeofResource(program.get(), manifest));
    EXPECT_EQ(1u, Count(manifestText, "level=\"requireAdministrator\"")) << manifestText;

    // The window class and the loop load these by number.
    EXPECT_NE(nullptr, ::FindResourceA(program.get(), MAKEINTRESOURCEA(109), RT_MENU));
    EXPECT_NE(nullptr, ::FindResourceA(program.get(), MAKEINTRESOURCEA(109), RT_ACCELERATOR));
    EXPECT_NE(nullptr, ::FindResourceA(program.get(), MAKEINTRESOURCEA(103), RT_DIALOG));
    EXPECT_NE(nullptr, ::FindResourceA(program.get(), MAKEINTRESOURCEA(107), RT_GROUP_ICON));
    EXPECT_NE(nullptr, ::FindResourceA(program.get(), MAKEINTRESOURCEA(108), RT_GROUP_ICON));
}

}  // namespace
}  // namespace updatertest
