// The update road end to end: the real launcher in the installed demo suite,
// the real updater and packages, the stand-in service; driven by clicks.
#include <gtest/gtest.h>
#include <windows.h>
#include <msi.h>

#include <cstdlib>
#include <string>

#include "tests/demo/DemoSuite.h"
#include "tests/demo/LauncherDriver.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/UpdateService.h"

namespace {

constexpr DWORD kBound = 20000;

class Road : public ::testing::Test {
protected:
    void SetUp() override {
        road::EndSuitePrograms();
        road::LayOutSuite(0, test::Service("https").baseUrl);
        logStart_ = test::ReadWholeFile(road::LauncherLogPath()).size();
    }
    void TearDown() override { road::EndSuitePrograms(); }

    // What the launcher logged since the case began.
    std::string LauncherLog() const { return test::ReadWholeFile(road::LauncherLogPath()).substr(logStart_); }

    size_t logStart_ = 0;
};

TEST_F(Road, NothingToUpdateShowsTheLaunchWindowCentredAfterTheNotice) {
    road::OfferUpdates(0);
    road::RunningLauncher launcher(road::SuiteLauncherPath());
    ASSERT_TRUE(launcher.started());

    // The notice comes first, while no launcher window shows.
    const HWND notice = launcher.WaitForMessageBox(kBound);
    ASSERT_NE(nullptr, notice);
    EXPECT_EQ(nullptr, launcher.LaunchWindow());
    EXPECT_EQ(nullptr, launcher.SilentInstallWindow());
    ASSERT_TRUE(road::DismissNotice(launcher, kBound));

    const HWND window = launcher.WaitForLaunchWindow(kBound);
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(nullptr, launcher.SilentInstallWindow());
    RECT rect{}, work{};
    ::GetWindowRect(window, &rect);
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_LE(std::abs((rect.left + rect.right) - (work.left + work.right)), 1);
    EXPECT_LE(std::abs((rect.top + rect.bottom) - (work.top + work.bottom)), 1);
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(::GetLayeredWindowAttributes(window, nullptr, &alpha, &flags));
    EXPECT_EQ(242, alpha);

    EXPECT_NE(std::string::npos, LauncherLog().find("CSkinMessageBox::DoModal ＜重要なお知らせ＞"));

    ::PostMessageA(window, WM_CLOSE, 0, 0);
    DWORD exitCode = 1;
    ASSERT_TRUE(launcher.Wait(kBound, &exitCode));
    EXPECT_EQ(0u, exitCode);
}

TEST_F(Road, UpdateManagerAloneIsDownloadedInstalledAndDone) {
    road::OfferUpdates(road::kUpdateManagerFlag);
    road::RunningLauncher launcher(road::SuiteLauncherPath());
    ASSERT_TRUE(road::DismissNotice(launcher, kBound));

    const HWND window = launcher.WaitForSilentInstallWindow(kBound);
    ASSERT_NE(nullptr, window);
    const POINT action = road::SkinItemCentre("SilentInstallWindow.txt", "CancelButton");
    road::Click(window, action);  // 開始

    // 完了 shows once the package is installed; it brings up the launch window.
    ASSERT_TRUE(road::WaitFor(
        [&] { return road::ProductState(road::kUpdateManagerFlag) == INSTALLSTATE_DEFAULT &&
                     road::ProgramVersion(road::SuiteFolder() + road::DemoValue("DEMO_PROGRAM_2")) ==
                         road::DemoValue("DEMO_NEW_VERSION") ? window : nullptr; },
        60000));
    road::Click(window, action);  // 完了
    ASSERT_NE(nullptr, launcher.WaitForLaunchWindow(kBound));
    EXPECT_EQ(nullptr, launcher.SilentInstallWindow());
}

}  // namespace
