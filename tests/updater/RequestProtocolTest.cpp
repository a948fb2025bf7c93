// The launcher-updater protocol end to end: a stand-in launcher window sends
// WM_COPYDATA requests to a running RavelinUpdate.exe and records what comes back.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "lib/UniqueHandle.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/ScratchFolder.h"
#include "tests/updater/LauncherStandIn.h"
#include "tests/updater/MsiEngineTestSupport.h"
#include "tests/updater/RunningUpdaterTest.h"
#include "tests/updater/UpdaterProgram.h"
#include "updater/InstallRequestRecord.h"

namespace updatertest {
namespace {

// An installation with plenty of slack for a loaded machine.
constexpr DWORD kInstallBound = 60000;

class UpdaterRequests : public RunningUpdaterTest {
protected:
    UpdaterRequests() : RunningUpdaterTest(UpdaterCommand("Launcher")) {}
};

TEST_F(UpdaterRequests, RefusesVoidAndMalformedRequests) {
    const std::string package = msitest::PackagePath("RavelinTestTiny");

    // A void record is refused without a trace.
    EXPECT_EQ(FALSE, SendInstall(Record(APLTYPE_UPDATEMANAGER, 0, package)));
    EXPECT_EQ(0u, Count(log_.Added(), "OnCopyData")) << log_.Added();

    // Whatever cbData and lpData say, only a whole record is read.
    const InstallRequestRecord whole = Record(APLTYPE_UPDATEMANAGER, INSTALLTYPE_FIRST, package);
    EXPECT_EQ(FALSE, launcher_.Send(window_, COPYDATAINSTALL, &whole, 100));
    EXPECT_EQ(FALSE, launcher_.Send(window_, COPYDATAINSTALL, nullptr, sizeof whole));
    EXPECT_EQ(FALSE, launcher_.Send(window_, COPYDATAINSTALL, nullptr, 0));
    std::vector<char> longer(sizeof whole + 4, 'x');
    std::memcpy(longer.data(), &whole, sizeof whole);
    EXPECT_EQ(FALSE, launcher_.Send(window_, COPYDATAINSTALL, longer.data(), static_cast<DWORD>(longer.size())));

    // A path that fills its field without a terminator is never used.
    InstallRequestRecord unterminated = whole;
    std::memset(unterminated.PathPackage, 'A', sizeof unterminated.PathPackage);
    EXPECT_EQ(FALSE, SendInstall(unterminated));

    // An unknown component is logged, then refused; so is an unknown request kind.
    EXPECT_EQ(FALSE, SendInstall(Record(5, INSTALLTYPE_FIRST, package)));
    EXPECT_EQ(FALSE, launcher_.Send(window_, 2, &whole, sizeof whole));

    const std::string added = log_.Added();
    EXPECT_EQ(5u, Count(added, "\t!!\tCopyDataDispatch.cpp\t")) << added;
    EXPECT_EQ(4u, Count(added, "\tOnCopyData without COPYDATAINSTALL data\r\n")) << added;
    EXPECT_EQ(1u, Count(added, "\tOnCopyData PathPackage without terminator  APLType:2  InstallType:1\r\n")) << added;
    EXPECT_EQ(1u, Count(added, "\tOnCopyData  APLType:5  InstallType:1  PathPackage:" + package + "\r\n")) << added;
    EXPECT_EQ(0u, Count(added, "AAAA")) << added;

    // Nothing was queued: a cancel finds nothing to drop, and nobody is notified.
    EXPECT_EQ(TRUE, launcher_.Send(window_, MSG_REQUEST_CANCELINSTALL, nullptr, 0));
    EXPECT_EQ(2u, Count(log_.Added(), "\t..\tCopyDataDispatch.cpp\t")) << log_.Added();
    EXPECT_EQ(1u, Count(log_.Added(), "\tOnCopyData  MSG_REQUEST_CANCELINSTALL\r\n")) << log_.Added();
    EXPECT_TRUE(launcher_.notifications().empty());
    EXPECT_TRUE(updater_.Running());
}

TEST_F(UpdaterRequests, InstallsQueuedPackagesOneAfterTheOther) {
    ASSERT_TRUE(msitest::EnsureAbsent(msitest::kTinyProduct));

    // An empty path is accepted and does nothing: the first notification
    // that arrives belongs to the request after it.
    EXPECT_EQ(TRUE, SendInstall(Record(APLTYPE_UPDATEMANAGER, INSTALLTYPE_FIRST, "")));
    EXPECT_EQ(TRUE, SendInstall(Record(APLTYPE_MSVTITLEEDITOR, INSTALLTYPE_FIRST,
                                       msitest::PackagePath("RavelinTestTiny"))));
    EXPECT_EQ(TRUE, SendInstall(Record(APLTYPE_VANTORMANAGER, INSTALLTYPE_REINSTALL,
                                       msitest::PackagePath("RavelinTestTiny2"))));
    ASSERT_TRUE(launcher_.WaitForNotifications(INSTALL_NOTIFY_END, 2, 2 * kInstallBound));

    // Each request runs from its start to its end before the next one starts.
    const std::vector<Notification> received = launcher_.notifications();
    std::vector<Notification> bounds;
    for (const Notification& notification : received) {
        if (notification.code == INSTALL_NOTIFY_START || notification.code == INSTALL_NOTIFY_END) {
            bounds.push_back(notification);
        }
    }
    ASSERT_EQ(4u, bounds.size());
    EXPECT_EQ(INSTALL_NOTIFY_START, received.front().code);
    EXPECT_EQ(msitest::HighWord(APLTYPE_MSVTITLEEDITOR), received.front().value);
    EXPECT_EQ(INSTALL_NOTIFY_END, bounds[1].code);
    EXPECT_EQ(msitest::HighWord(APLTYPE_MSVTITLEEDITOR), bounds[1].value);
    EXPECT_EQ(INSTALL_NOTIFY_START, bounds[2].code);
    EXPECT_EQ(msitest::HighWord(APLTYPE_VANTORMANAGER), bounds[2].value);
    EXPECT_EQ(INSTALL_NOTIFY_END, bounds[3].code);
    EXPECT_EQ(msitest::HighWord(APLTYPE_VANTORMANAGER), bounds[3].value);
    EXPECT_EQ(INSTALL_NOTIFY_END, received.back().code);
    EXPECT_EQ(INSTALLSTATE_DEFAULT, msitest::ProductState(msitest::kTinyProduct));
    EXPECT_EQ("1.0.1", msitest::InstalledVersionValue(msitest::kTinyName));

    const std::string added = log_.Added();
    EXPECT_EQ(1u, Count(added, "\tOnCopyData  APLType:2  InstallType:1  PathPackage:\r\n")) << added;
    EXPECT_EQ(0u, Count(added, "DoAction[ERROR")) << added;
    // This updater is unsigned: one warning per package, none for the empty request.
    EXPECT_EQ(2u, Count(added, "\t##\tPackageTrust.cpp\t")) << added;
    EXPECT_EQ(2u, Count(added, "PackageTrust::Admit unchecked: the updater is unsigned  PathPackage:")) << added;
    EXPECT_TRUE(msitest::EnsureAbsent(msitest::kTinyProduct));
}

// As the launcher hands over its packages: the next one right after the end
// notification of the one before. Each starts at once, not at the updater
// worker's next periodic look at its queue.
TEST_F(UpdaterRequests, EachHandedOverPackageStartsAtOnce) {
    constexpr DWORD kPromptStart = 1500;
    ASSERT_TRUE(msitest::EnsureAbsent(msitest::kTinyProduct));
    const std::int32_t installTypes[] = {INSTALLTYPE_FIRST, INSTALLTYPE_REINSTALL, INSTALLTYPE_REINSTALL};
    size_t round = 0;
    for (const std::int32_t installType : installTypes) {
        ++round;
        const ULONGLONG sent = ::GetTickCount64();
        EXPECT_EQ(TRUE,
                  SendInstall(Record(APLTYPE_UPDATEMANAGER, installType, msitest::PackagePath("RavelinTestTiny"))));
        EXPECT_TRUE(launcher_.WaitForNotifications(INSTALL_NOTIFY_START, round, kPromptStart))
            << "round " << round << " after " << ::GetTickCount64() - sent << " ms";
        ASSERT_TRUE(launcher_.WaitForNotifications(INSTALL_NOTIFY_END, round, kInstallBound)) << "round " << round;
    }
    EXPECT_EQ(0u, Count(log_.Added(), "DoAction[ERROR")) << log_.Added();
    EXPECT_EQ(INSTALLSTATE_DEFAULT, msitest::ProductState(msitest::kTinyProduct));
    EXPECT_TRUE(msitest::EnsureAbsent(msitest::kTinyProduct));
}

TEST_F(UpdaterRequests, RunsTheLauncherSetupOnlyForAnUpdateAndThenEnds) {
    const SetupProbe setup;
    ASSERT_TRUE(test::FileExists(setup.path()));

    // A first installation of the launcher, or an update without a path, does nothing.
    EXPECT_EQ(TRUE, SendInstall(Record(APLTYPE_LAUNCHER, INSTALLTYPE_FIRST, setup.path())));
    EXPECT_EQ(TRUE, SendInstall(Record(APLTYPE_LAUNCHER, INSTALLTYPE_REINSTALL, "")));
    EXPECT_TRUE(updater_.Running());

    EXPECT_EQ(TRUE, SendInstall(Record(APLTYPE_LAUNCHER, INSTALLTYPE_REINSTALL, setup.path())));
    DWORD exitCode = 1;
    ASSERT_TRUE(updater_.Wait(kBound, &exitCode));
    EXPECT_EQ(0u, exitCode);
    ASSERT_TRUE(setup.WaitUntilRun());

    // Run once, silently.
    const std::string lines = setup.commandLines();
    EXPECT_EQ(1u, Count(lines, "\r\n")) << lines;
    EXPECT_EQ(1u, Count(lines, "setup probe.exe")) << lines;
    EXPECT_EQ(1u, Count(lines, " /S /v/passive\r\n")) << lines;
    EXPECT_TRUE(launcher_.notifications().empty());
    const std::string added = log_.Added();
    EXPECT_EQ(3u, Count(added, "\tOnCopyData  APLType:1  InstallType:")) << added;
    EXPECT_EQ(0u, Count(added, "RequestLauncherInstall[ERROR")) << added;
    EXPECT_EQ(1u, Count(added, "PackageTrust::Admit unchecked: the updater is unsigned  PathPackage:" + setup.path() +
                                   "\r\n"))
        << added;
    EXPECT_EQ(1u, Count(added, "----------<終了>----------")) << added;
}

}  // namespace
}  // namespace updatertest
