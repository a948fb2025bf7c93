// A signed RavelinUpdate.exe (the build's copy signed with the test signer)
// end to end: it installs or starts only what its own signer signed, and a
// refused request still ends for the launcher.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "tests/support/ChildProcess.h"
#include "tests/support/ScratchFolder.h"
#include "tests/updater/LauncherStandIn.h"
#include "tests/updater/MsiEngineTestSupport.h"
#include "tests/updater/RunningUpdaterTest.h"
#include "tests/updater/UpdaterProgram.h"
#include "updater/InstallRequestRecord.h"

namespace updatertest {
namespace {

constexpr DWORD kInstallBound = 60000;
// How long a setup program that should not run is given to show up.
constexpr DWORD kNoRun = 3000;

class SignedUpdater : public RunningUpdaterTest {
protected:
    SignedUpdater() : RunningUpdaterTest(SignedUpdaterCommand("Launcher")) {}

    void ExpectUpdaterEnded() {
        DWORD exitCode = 1;
        ASSERT_TRUE(updater_.Wait(kBound, &exitCode));
        EXPECT_EQ(0u, exitCode);
    }
};

TEST_F(SignedUpdater, InstallsOnlyPackagesOfItsOwnSignerAndEndsEachRefusedRequest) {
    ASSERT_TRUE(msitest::EnsureAbsent(msitest::kTinyProduct));
    const std::string own = msitest::SignedPath("RavelinTestTiny.msi");
    const std::string unsignedPackage = msitest::PackagePath("RavelinTestTiny2");
    const std::string foreign = msitest::SignedPath("RavelinTestTiny2_other.msi");
    EXPECT_EQ(TRUE, SendInstall(APLTYPE_UPDATEMANAGER, INSTALLTYPE_FIRST, own));
    EXPECT_EQ(TRUE, SendInstall(APLTYPE_MSVTITLEEDITOR, INSTALLTYPE_REINSTALL, unsignedPackage));
    EXPECT_EQ(TRUE, SendInstall(APLTYPE_VANTORMANAGER, INSTALLTYPE_REINSTALL, foreign));
    ASSERT_TRUE(launcher_.WaitForNotifications(INSTALL_NOTIFY_END, 3, 3 * kInstallBound));
    EXPECT_TRUE(launcher_.WaitForNotifications(INSTALL_NOTIFY_START, 3, kBound));

    // Only the first one was installed: the version of the others never arrived.
    EXPECT_EQ(INSTALLSTATE_DEFAULT, msitest::ProductState(msitest::kTinyProduct));
    EXPECT_EQ("1.0.0", msitest::InstalledVersionValue(msitest::kTinyName));
    const std::string added = log_.Added();
    EXPECT_EQ(1u, Count(added, "PackageTrust::Admit signer[")) << added;
    EXPECT_EQ(2u, Count(added, "\t!!\tPackageTrust.cpp\t")) << added;
    EXPECT_EQ(1u, Count(added, "PackageTrust::Admit refused: no signature[ERR:0x800B0100]  PathPackage:" +
                                   unsignedPackage + "\r\n"))
        << added;
    EXPECT_EQ(1u, Count(added, "PackageTrust::Admit refused: other signer[")) << added;
    EXPECT_EQ(1u, Count(added, "]  PathPackage:" + foreign + "\r\n")) << added;
    EXPECT_EQ(0u, Count(added, "unchecked")) << added;
    EXPECT_TRUE(msitest::EnsureAbsent(msitest::kTinyProduct));
}

TEST_F(SignedUpdater, StartsTheSetupProgramOfItsOwnSigner) {
    const SetupProbe setup(msitest::SignedPath("updater_setup_probe.exe"));
    EXPECT_EQ(TRUE, SendInstall(APLTYPE_LAUNCHER, INSTALLTYPE_REINSTALL, setup.path()));
    ExpectUpdaterEnded();
    ASSERT_TRUE(setup.WaitUntilRun());
    EXPECT_EQ(1u, Count(setup.commandLines(), " /S /v/passive\r\n"));
    EXPECT_TRUE(launcher_.notifications().empty());
    EXPECT_EQ(1u, Count(log_.Added(), "PackageTrust::Admit signer[")) << log_.Added();
}

TEST_F(SignedUpdater, RefusesASetupProgramChangedAfterSigningAndEndsTheRequest) {
    const SetupProbe setup(msitest::SignedPath("updater_setup_probe.exe"));
    std::string program = test::ReadWholeFile(setup.path());
    ASSERT_GT(program.size(), 4096u);
    program[program.size() / 2] = static_cast<char>(program[program.size() / 2] ^ 0x01);
    test::WriteWholeFile(setup.path(), program);

    EXPECT_EQ(TRUE, SendInstall(APLTYPE_LAUNCHER, INSTALLTYPE_REINSTALL, setup.path()));
    ExpectUpdaterEnded();
    EXPECT_FALSE(setup.WaitUntilRun(kNoRun));
    EXPECT_EQ("", setup.commandLines());
    EXPECT_TRUE(launcher_.WaitForNotifications(INSTALL_NOTIFY_END, 1, kBound));
    ASSERT_EQ(2u, launcher_.notifications().size());
    EXPECT_EQ(INSTALL_NOTIFY_START, launcher_.notifications()[0].code);
    EXPECT_EQ(msitest::HighWord(APLTYPE_LAUNCHER), launcher_.notifications()[1].value);
    EXPECT_EQ(1u, Count(log_.Added(), "PackageTrust::Admit refused: signature invalid[ERR:0x80096010]  PathPackage:" +
                                          setup.path() + "\r\n"))
        << log_.Added();
}

}  // namespace
}  // namespace updatertest
