// The suite's data and log folders, folder creation, and where Start puts
// the main log when it is given no path or a bare file name.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "log/CreateLogFolder.h"
#include "log/KilnLogWrapper.h"
#include "log/LogFolders.h"
#include "tests/log/LogTestSupport.h"
#include "tests/support/ChildScenario.h"

RAVELIN_CHILD_SCENARIO(default_start) {
    KILNLOG.Start(nullptr, 4096);
    return KILNLOG.Write(kLogSystem, "system") + KILNLOG.Write(kLogInfo, "main");
}

RAVELIN_CHILD_SCENARIO(relative_log_folder) {
    ::SetCurrentDirectoryA(argument.c_str());
    return CreateLogFolder("relative\\deep") ? 0 : 1;
}

TEST(Folders, AppDataAndLogFoldersUnderTheUsersRoamingData) {
    char appData[MAX_PATH] = {};
    ASSERT_NE(0u, ::GetEnvironmentVariableA("APPDATA", appData, sizeof appData));
    const std::string folder = GetAppDataFolder();
    EXPECT_EQ(std::string(appData) + "\\Halvard\\Ravelin\\", folder);
    EXPECT_EQ(folder + "Log\\", GetLogFolder());
    EXPECT_TRUE(test::FolderExists(folder + "Log\\"));
}

TEST(Folders, EnsureFolderAndCreateLogFolderCreateEveryLevel) {
    test::ScratchFolder scratch;
    const std::string file = scratch.path() + "file";
    test::WriteWholeFile(file, "x");
    for (auto create : {+[](const std::string& path) { return EnsureFolder(path); },
                        +[](const std::string& path) { return CreateLogFolder(path); }}) {
        EXPECT_FALSE(create(""));
        EXPECT_FALSE(create(file + "\\below"));
        EXPECT_TRUE(create(scratch.path()));
        EXPECT_TRUE(create("C:\\"));
    }
    // "表" and "ソ" end in the byte '\\': no level may be cut there.
    EXPECT_TRUE(EnsureFolder(scratch.path() + "表\\ソ\\deep\\"));
    EXPECT_TRUE(test::FolderExists(scratch.path() + "表\\ソ\\deep"));
    EXPECT_TRUE(CreateLogFolder(scratch.path() + "表示\\ソフト\\log"));
    EXPECT_TRUE(test::FolderExists(scratch.path() + "表示\\ソフト\\log"));
    // The long-path form needs a full path: a relative one is taken from the current folder.
    EXPECT_EQ(0, logtest::RunScenario("relative_log_folder", scratch.path() + "."));
    EXPECT_TRUE(test::FolderExists(scratch.path() + "relative\\deep"));
}

TEST(Folders, StartWithoutPathUsesTheSystemLog) {
    logtest::ProgramCopy program("default_start");
    ASSERT_EQ(0, program.Run("default_start"));
    EXPECT_EQ((std::vector<std::string>{"== ==========<開始()>==========", "## system", ".. main"}),
              logtest::Summary(program.systemLog()));
}

TEST(Folders, StartWithBareNamePutsTheLogBesideTheProgram) {
    logtest::ProgramCopy program("bare_name");
    ASSERT_EQ(0, program.Run("start_only", "bare.log"));
    EXPECT_EQ(std::vector<std::string>{"== ==========<開始()>=========="},
              logtest::Summary(program.folder() + "bare.log"));
}
