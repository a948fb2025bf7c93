// Real installations of the test packages through the engine and the
// system's Windows Installer, with the notifications going to a window of
// the test thread.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/ScratchFolder.h"
#include "tests/updater/MsiEngineTestSupport.h"
#include "updater/MsiInstallControl.h"

namespace {

using msitest::HighWord;
using msitest::PackagePath;

// The installation and plenty of slack for a loaded machine.
constexpr DWORD kInstallBound = 30000;
// A queued request's start notification comes this soon (the installer's own
// start-up included); the worker used to look at its queue only every 5 seconds.
constexpr ULONGLONG kPromptStart = 1500;

class MsiEngineInstall : public ::testing::Test {
protected:
    void SetUp() override {
        msitest::SettlePendingCancel();
        ASSERT_TRUE(msitest::EnsureAbsent(msitest::kTinyProduct));
        ASSERT_TRUE(control.Start());
    }
    void TearDown() override {
        EXPECT_TRUE(control.Stop());
        EXPECT_TRUE(msitest::EnsureAbsent(msitest::kTinyProduct));
    }

    void Queue(std::int32_t applicationType, std::int32_t installType, const std::string& path,
               HWND window = nullptr) {
        control.QueueInstall(msitest::MakeRecord(applicationType, installType, window ? window : recorder.window(),
                                                 recorder.message(), path));
    }

    // One START ... END per request, in queue order, with only progress in
    // between. The END is posted while the rest is sent, so the next request's
    // START may overtake it when requests follow each other closely.
    void ExpectRuns(const std::vector<int>& applicationTypes) {
        const std::vector<msitest::Notification>& all = recorder.notifications();
        std::vector<size_t> starts, ends;
        for (size_t i = 0; i < all.size(); ++i) {
            if (all[i].code == INSTALL_NOTIFY_START) starts.push_back(i);
            if (all[i].code == INSTALL_NOTIFY_END) ends.push_back(i);
            EXPECT_LE(all[i].code, INSTALL_NOTIFY_END) << "notification " << i;
        }
        ASSERT_EQ(applicationTypes.size(), starts.size());
        ASSERT_EQ(applicationTypes.size(), ends.size());
        EXPECT_EQ(0u, starts.front());
        for (size_t run = 0; run < starts.size(); ++run) {
            EXPECT_EQ(HighWord(applicationTypes[run]), all[starts[run]].value) << "run " << run;
            EXPECT_EQ(HighWord(applicationTypes[run]), all[ends[run]].value) << "run " << run;
            EXPECT_LT(starts[run], ends[run]) << "run " << run;
        }
    }

    msitest::NotifyRecorder recorder;
    MsiInstaller::MsiInstallControl control;
};

TEST_F(MsiEngineInstall, InstallsAndAReinstallRestoresAChangedFile) {
    Queue(2, 1, PackagePath("RavelinTestTiny"));
    ASSERT_TRUE(recorder.PumpUntilEnds(1, kInstallBound));
    ExpectRuns({2});
    EXPECT_GE(recorder.Count(INSTALL_NOTIFY_RESET), 1u);
    EXPECT_EQ(INSTALLSTATE_DEFAULT, msitest::ProductState(msitest::kTinyProduct));
    const std::string payload = msitest::InstalledPayloadPath(msitest::kTinyName);
    const std::string original = test::ReadWholeFile(payload);
    EXPECT_EQ("Ravelin test payload, first version\r\n", original);
    EXPECT_EQ("1.0.0", msitest::InstalledVersionValue(msitest::kTinyName));

    test::WriteWholeFile(payload, "changed by hand");
    recorder.Clear();
    Queue(2, 2, PackagePath("RavelinTestTiny"));
    ASSERT_TRUE(recorder.PumpUntilEnds(1, kInstallBound));
    ExpectRuns({2});
    EXPECT_EQ(original, test::ReadWholeFile(payload));
}

TEST_F(MsiEngineInstall, TwoRequestsInARowRunOneAfterTheOtherEachWithItsOwnStartAndEnd) {
    Queue(3, 1, PackagePath("RavelinTestTiny"));
    Queue(4, 2, PackagePath("RavelinTestTiny2"));
    ASSERT_TRUE(recorder.PumpUntilEnds(2, 2 * kInstallBound));
    ExpectRuns({3, 4});
    EXPECT_EQ("Ravelin test payload, second version\r\n",
              test::ReadWholeFile(msitest::InstalledPayloadPath(msitest::kTinyName)));
    EXPECT_EQ("1.0.1", msitest::InstalledVersionValue(msitest::kTinyName));
}

TEST_F(MsiEngineInstall, EachRequestQueuedAfterTheLastOneEndedStartsAtOnce) {
    const int installTypes[] = {1, 2, 2};
    size_t round = 0;
    for (const int installType : installTypes) {
        ++round;
        const ULONGLONG queued = ::GetTickCount64();
        Queue(2, installType, PackagePath("RavelinTestTiny"));
        ASSERT_TRUE(recorder.PumpUntil(INSTALL_NOTIFY_START, round, kInstallBound)) << "round " << round;
        EXPECT_LT(::GetTickCount64() - queued, kPromptStart) << "round " << round;
        ASSERT_TRUE(recorder.PumpUntilEnds(round, kInstallBound)) << "round " << round;
    }
    ExpectRuns({2, 2, 2});
    EXPECT_EQ(INSTALLSTATE_DEFAULT, msitest::ProductState(msitest::kTinyProduct));
}

TEST_F(MsiEngineInstall, FailedAndCancelledPackagesAreLoggedAndTheNextRequestStillInstalls) {
    ASSERT_TRUE(msitest::EnsureAbsent(msitest::kFailProduct));
    ASSERT_TRUE(msitest::EnsureAbsent(msitest::kUserExitProduct));
    const msitest::LogWatch log;
    Queue(2, 1, PackagePath("RavelinTestFail1603"));
    Queue(3, 1, PackagePath("RavelinTestUserExit"));
    Queue(4, 1, PackagePath("RavelinTestTiny"));
    ASSERT_TRUE(recorder.PumpUntilEnds(3, 3 * kInstallBound));
    ExpectRuns({2, 3, 4});

    const std::string added = log.Added();
    EXPECT_NE(std::string::npos, added.find("MsiInstallCommonRequest::DoAction[ERROR:0x00000643]")) << added;
    EXPECT_NE(std::string::npos, added.find("MsiInstallCommonRequest::DoAction[ERROR:0x00000642]")) << added;
    EXPECT_NE(std::string::npos, added.find("MsiInstall::SetInternalUI[UILevel:0x")) << added;
    EXPECT_NE(INSTALLSTATE_DEFAULT, msitest::ProductState(msitest::kFailProduct));
    // Whether Wine leaves the user-exited product registered varies from run
    // to run; the engine's part is the 1602 result above.
    EXPECT_EQ(INSTALLSTATE_DEFAULT, msitest::ProductState(msitest::kTinyProduct));
    EXPECT_TRUE(msitest::EnsureAbsent(msitest::kUserExitProduct));
}

TEST_F(MsiEngineInstall, AGoneNotifyWindowInstallsAndNotifiesNobody) {
    HWND gone = nullptr;
    {
        msitest::NotifyRecorder temporary;
        gone = temporary.window();
    }
    ASSERT_FALSE(::IsWindow(gone));
    const test::ScratchFolder scratch;
    Queue(3, 1, PackagePath("RavelinTestTiny"), gone);
    // A quick request behind it tells when the first one is done.
    Queue(4, 1, scratch.path() + "missing.msi");
    ASSERT_TRUE(recorder.PumpUntilEnds(1, 2 * kInstallBound));
    ExpectRuns({4});
    EXPECT_EQ(INSTALLSTATE_DEFAULT, msitest::ProductState(msitest::kTinyProduct));
}

TEST_F(MsiEngineInstall, APackageThatCannotBeOpenedEndsOnceAndAnEmptyPathDoesNothing) {
    const msitest::LogWatch log;
    const test::ScratchFolder scratch;
    const std::string notAPackage = scratch.path() + "not-a-package.msi";
    test::WriteWholeFile(notAPackage, "this is not an installer database");
    Queue(2, 1, "");
    Queue(3, 1, scratch.path() + "missing.msi");
    Queue(4, 1, notAPackage);
    ASSERT_TRUE(recorder.PumpUntilEnds(2, 2 * kInstallBound));
    ExpectRuns({3, 4});

    // Nothing more comes once the worker is idle again.
    EXPECT_TRUE(control.Stop());
    recorder.Drain();
    EXPECT_EQ(2u, recorder.Count(INSTALL_NOTIFY_END));
    const std::string added = log.Added();
    const std::string error = "DoAction[ERROR:0x";
    size_t errors = 0;
    for (size_t at = added.find(error); at != std::string::npos; at = added.find(error, at + 1)) ++errors;
    EXPECT_EQ(2u, errors) << added;
}

}  // namespace
