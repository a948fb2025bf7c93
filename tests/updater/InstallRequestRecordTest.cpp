// The install record as bytes on the wire, and the launcher's own package.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "tests/support/ChildProcess.h"
#include "tests/support/ChildScenario.h"
#include "tests/updater/MsiEngineTestSupport.h"
#include "updater/InstallRequestRecord.h"
#include "updater/MsiInstallControl.h"

namespace {

TEST(InstallRequestRecord, FieldsLieLittleEndianAtTheirOffsets) {
    InstallRequestRecord record{};
    record.APLType = 0x04030201;
    record.InstallType = 0x08070605;
    record.NotifyWindow = 0x0C0B0A09;
    record.NotifyMessage = 0x100F0E0D;
    std::strcpy(record.PathPackage, "C:\\p.msi");
    unsigned char bytes[276] = {};
    static_assert(sizeof bytes == sizeof record, "one record");
    std::memcpy(bytes, &record, sizeof record);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(i + 1, bytes[i]) << "byte " << i;
    EXPECT_EQ(0, std::memcmp(bytes + 16, "C:\\p.msi", 9));
    EXPECT_EQ(0, bytes[275]);
}

TEST(InstallRequestRecord, WindowHandlesSurviveTheirThirtyTwoBits) {
    msitest::NotifyRecorder recorder;
    EXPECT_EQ(recorder.window(), RecordWindowHandle(RecordWindowValue(recorder.window())));
    // A handle with the top bit set is sign-extended, as the system extends handles.
    EXPECT_EQ(static_cast<LONG_PTR>(static_cast<LONG>(0x80001234u)),
              reinterpret_cast<LONG_PTR>(RecordWindowHandle(0x80001234u)));
}

bool QuitPosted() {
    MSG message{};
    return ::PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
}

// In a process of its own, so that the quit message stays there.
RAVELIN_CHILD_SCENARIO(LauncherInstall) {
    MsiInstaller::MsiInstallControl control;
    const msitest::LogWatch log;
    control.RequestLauncherInstall(msitest::MakeRecord(1, 1, nullptr, 0, argument));
    control.RequestLauncherInstall(msitest::MakeRecord(1, 2, nullptr, 0, ""));
    if (QuitPosted()) return 1;
    control.RequestLauncherInstall(msitest::MakeRecord(1, 2, nullptr, 0, argument));
    if (!QuitPosted()) return 2;
    return log.Added().find("RequestLauncherInstall[ERROR") == std::string::npos ? 0 : 3;
}

TEST(LauncherInstall, OnlyAnUpdateWithAPathStartsTheSetupProgramAndEndsTheLoop) {
    // Any program that ends by itself stands in for the setup program.
    char system[MAX_PATH] = {};
    ASSERT_GT(::GetSystemDirectoryA(system, MAX_PATH), 0u);
    test::ChildProcess child(test::ChildScenarioCommand("LauncherInstall", std::string(system) + "\\hostname.exe"));
    ASSERT_TRUE(child.started());
    DWORD exitCode = 99;
    ASSERT_TRUE(child.Wait(30000, &exitCode));
    EXPECT_EQ(0u, exitCode);
}

}  // namespace
