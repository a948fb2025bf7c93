#pragma once
// A RavelinUpdate.exe started in "Launcher" mode beside a stand-in launcher
// window, and ended through the menu's Exit, as a user would end it.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>

#include "tests/support/ChildProcess.h"
#include "tests/updater/LauncherStandIn.h"
#include "tests/updater/MsiEngineTestSupport.h"
#include "tests/updater/UpdaterProgram.h"
#include "updater/InstallRequestRecord.h"

namespace updatertest {

class RunningUpdaterTest : public ::testing::Test {
protected:
    explicit RunningUpdaterTest(const std::string& command) : updater_(command) {}

    void SetUp() override {
        ASSERT_NE(nullptr, launcher_.window());
        window_ = WaitForRequestWindow(updater_);
        ASSERT_NE(nullptr, window_);
    }
    void TearDown() override {
        if (!updater_.Running()) return;
        ::PostMessageA(window_, WM_COMMAND, 105, 0);
        DWORD exitCode = 1;
        EXPECT_TRUE(updater_.Wait(kBound, &exitCode));
        EXPECT_EQ(0u, exitCode);
    }

    InstallRequestRecord Record(std::int32_t applicationType, std::int32_t installType,
                                const std::string& path) const {
        return msitest::MakeRecord(applicationType, installType, launcher_.window(), launcher_.notifyMessage(),
                                   path);
    }
    LRESULT SendInstall(const InstallRequestRecord& record) const {
        return launcher_.Send(window_, COPYDATAINSTALL, &record, sizeof record);
    }
    LRESULT SendInstall(std::int32_t applicationType, std::int32_t installType, const std::string& path) const {
        return SendInstall(Record(applicationType, installType, path));
    }

    LauncherStandIn launcher_;
    LogWatch log_;
    test::ChildProcess updater_;
    HWND window_ = nullptr;
};

}  // namespace updatertest
