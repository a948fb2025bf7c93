// Installed program versions against the server's version texts.
#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include "launcher/update/ComponentVersions.h"
#include "tests/launcher/update/UpdateTestSupport.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/ChildScenario.h"
#include "tests/support/ScratchFolder.h"

namespace {

using Versions = std::array<std::string, update::kComponentCount>;

const char kOld[] = "versioned_1_1_9_9.exe";  // 1.1.9.9
const char kNew[] = "versioned_1_2_0_0.exe";  // 1.2.0.0

// Component number -> the test program installed under its file name (null: none).
void Install(const std::string& folder, const std::array<const char*, update::kComponentCount>& programs) {
    for (std::size_t i = 0; i < programs.size(); ++i) {
        if (!programs[i]) continue;
        const std::string target = folder + update::kComponentTable[i].programFile;
        ASSERT_TRUE(::CopyFileA(test::BesideSelf(programs[i]).c_str(), target.c_str(), FALSE)) << target;
    }
}

}  // namespace

// The launcher 1.1.9.9 against the server's 1.2.0, with the log in the folder given.
RAVELIN_CHILD_SCENARIO(version_check_with_log) {
    const std::string folder = updatetest::ScenarioFolder(argument);
    updatetest::StartLog(folder);
    return update::CheckHaveNewVersion(folder, Versions{"1.2.0", "", "", ""});
}

TEST(ServerVersionText, PartsAreNumbersBetweenDots) {
    EXPECT_EQ(std::vector<int>({1, 2, 0}), update::SplitVersionText("1.2.0"));
    EXPECT_EQ(std::vector<int>({0}), update::SplitVersionText(""));
    EXPECT_EQ(5u, update::SplitVersionText("1.2.3.4.5").size());
    EXPECT_EQ(std::vector<int>({1, 3}), update::SplitVersionText("\"1.2\".3"));
    EXPECT_EQ(std::vector<int>({2, 0, 0}), update::SplitVersionText("2.x.0"));
}

TEST(ServerVersionText, ComparedFromTheLeftWithThreeOrFourParts) {
    const update::FileVersion local{1, 2, 0, 5};
    EXPECT_TRUE(update::IsOlder(update::FileVersion{1, 1, 9, 9}, {1, 2, 0}));
    EXPECT_FALSE(update::IsOlder(local, {1, 2, 0}));  // the revision does not count with 3 parts
    EXPECT_TRUE(update::IsOlder(local, {1, 2, 1}));
    EXPECT_TRUE(update::IsOlder(local, {1, 2, 0, 6}));
    EXPECT_FALSE(update::IsOlder(local, {1, 2, 0, 5}));
    EXPECT_FALSE(update::IsOlder(update::FileVersion{2, 0, 0, 0}, {1, 9, 9, 9}));
    EXPECT_FALSE(update::IsOlder(local, {9, 9, 9, 9, 9}));
    EXPECT_FALSE(update::IsOlder(local, {9, 9}));
    EXPECT_FALSE(update::IsOlder(local, {9}));
}

TEST(InstalledVersion, FixedFileVersionOfTheProgram) {
    update::FileVersion version;
    ASSERT_TRUE(update::ReadFileVersion(test::BesideSelf(kOld), &version));
    EXPECT_EQ(1, version.major);
    EXPECT_EQ(1, version.minor);
    EXPECT_EQ(9, version.build);
    EXPECT_EQ(9, version.revision);

    test::ScratchFolder scratch;
    EXPECT_FALSE(update::ReadFileVersion(scratch.path() + "missing.exe", &version));
    test::WriteWholeFile(scratch.path() + "plain.exe", "not a program");
    EXPECT_FALSE(update::ReadFileVersion(scratch.path() + "plain.exe", &version));
}

TEST(CheckHaveNewVersion, UpdateFlagsFromInstalledPrograms) {
    test::ScratchFolder scratch;
    Install(scratch.path(), {kOld, kNew, kNew, nullptr});
    EXPECT_EQ(0x0001, update::CheckHaveNewVersion(scratch.path(), {"1.2.0", "", "", ""}));
    EXPECT_EQ(0x0001, update::CheckHaveNewVersion(scratch.path(), {"1.1.9.10", "1.2.0.0", "1.2", "9.9.9"}));
    EXPECT_EQ(0x0006, update::CheckHaveNewVersion(scratch.path(), {"1.1.9", "1.2.0.1", "1.2.1", ""}));

    test::ScratchFolder current;
    Install(current.path(), {kNew, kNew, kNew, kNew});
    EXPECT_EQ(0, update::CheckHaveNewVersion(current.path(), {"1.2.0.0", "1.2.0", "1.2.0.0.1", "2.0.0"}));
}

TEST(CheckHaveNewVersion, MissingProgramsAreFirstInstallsExceptComponentFour) {
    test::ScratchFolder scratch;
    Install(scratch.path(), {kNew, nullptr, kNew, kOld});
    EXPECT_EQ(0x2002, update::CheckHaveNewVersion(scratch.path(), {"", "", "", "1.2.0"}));

    test::ScratchFolder empty;
    EXPECT_EQ(0x7007, update::CheckHaveNewVersion(empty.path(), {"", "", "", ""}));
}

TEST(CheckHaveNewVersion, RecordsTheUpdateAndTheFirstInstall) {
    test::ScratchFolder scratch;
    Install(scratch.path(), {kOld, kNew, kNew, nullptr});
    EXPECT_EQ(0x0001, updatetest::RunScenario("version_check_with_log", scratch.path()));
    EXPECT_EQ(1, updatetest::CountInLog(scratch.path(), "..\tDownLoadCtrl\t495\t"));
    EXPECT_EQ(1, updatetest::CountInLog(scratch.path(),
                                        "CheckHaveNewVersion Ravelin_Launcher.exe:LocalVer:1.1.9.9,ServerVer:1.2.0\r\n"));
    EXPECT_EQ(1, updatetest::CountInLog(scratch.path(), "..\tDownLoadCtrl\t517\t"));
    EXPECT_EQ(1, updatetest::CountInLog(scratch.path(),
                                        "CheckHaveNewVersion Ravelin_VantorManager.exe:FirstInstall,ServerVer:\r\n"));
}
