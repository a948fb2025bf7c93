// Folder creation level by level on drive, UNC and relative paths, with
// Shift-JIS names whose trail byte is 0x5C ("表" 0x95 0x5C, "ソ" 0x83 0x5C).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "lib/CreateDirectories.h"
#include "lib/Exception.h"
#include "tests/support/ScratchFolder.h"

namespace {

using Levels = std::vector<std::string>;

const std::string kTable = "表", kSo = "ソ";

std::string Appended(std::string path) {
    lib::AppendBackslash(path);
    return path;
}

TEST(DirectoryLevels, StartAfterTheRootAndSplitOnlyAtWholeBackslashes) {
    ASSERT_EQ(932u, ::GetACP());
    ASSERT_EQ("\x95\\", kTable);
    EXPECT_EQ("C:\\a\\", Appended("C:\\a"));
    EXPECT_EQ("C:\\a\\", Appended("C:\\a\\"));
    EXPECT_EQ("", Appended(""));
    EXPECT_EQ("C:\\" + kTable + "\\", Appended("C:\\" + kTable));

    EXPECT_EQ((Levels{"C:\\a\\", "C:\\a\\b\\"}), lib::DirectoryLevels("C:\\a\\b\\", false));
    EXPECT_EQ((Levels{"C:\\a\\"}), lib::DirectoryLevels("C:\\a\\setup.msi", true));
    EXPECT_EQ((Levels{"a\\", "a\\b\\"}), lib::DirectoryLevels("a\\b", false));
    EXPECT_EQ(Levels{}, lib::DirectoryLevels("C:\\", false));
    // Server and share are never created.
    EXPECT_EQ((Levels{"\\\\server\\share\\a\\", "\\\\server\\share\\a\\b\\"}),
              lib::DirectoryLevels("\\\\server\\share\\a\\b", false));
    EXPECT_EQ(Levels{}, lib::DirectoryLevels("\\\\server\\share", false));
    EXPECT_EQ(Levels{}, lib::DirectoryLevels("\\\\server", false));
    const std::string share = "\\\\" + kTable + "\\" + kSo;
    EXPECT_EQ((Levels{share + "\\x\\"}), lib::DirectoryLevels(share + "\\x\\file", true));
    EXPECT_EQ((Levels{"C:\\" + kTable + "\\", "C:\\" + kTable + "\\" + kSo + "\\"}),
              lib::DirectoryLevels("C:\\" + kTable + "\\" + kSo, false));
}

TEST(CreateDirectories, CreatesTheMissingLevelsPassesOverExistingOnesAndFailsOnAFile) {
    test::ScratchFolder scratch;
    ASSERT_EQ(':', scratch.path()[1]);
    const std::string first = scratch.path() + kTable, second = first + "\\" + kSo;
    lib::CreateDirectories(second, false);
    EXPECT_TRUE(test::FolderExists(first));
    EXPECT_TRUE(test::FolderExists(second));
    EXPECT_NO_THROW(lib::CreateDirectories(second + "\\c\\setup.msi", true));
    EXPECT_TRUE(test::FolderExists(second + "\\c"));
    EXPECT_FALSE(test::FolderExists(second + "\\c\\setup.msi"));

    // A file where a folder should be: not reported as created.
    test::WriteWholeFile(scratch.path() + "taken", "x");
    for (const char* path : {"taken", "taken\\below"}) {
        try {
            lib::CreateDirectories(scratch.path() + path, false);
            ADD_FAILURE() << path;
        } catch (const lib::IOException& error) {
            EXPECT_STREQ("IOエラー：ディレクトリ作成失敗", error.what());
        }
    }
}

}  // namespace
