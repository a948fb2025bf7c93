// Paths split and joined by character: "ソ" and "表" end with the byte 0x5C,
// which is "\" only when it starts a character.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "launcher/update/ConnectionFile.h"
#include "lib/AnsiPath.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/ChildScenario.h"
#include "tests/support/ScratchFolder.h"

TEST(AnsiPath, SplitsAndJoinsByCharacter) {
    const struct {
        const char* path;
        const char* folder;
        const char* name;
        bool endsWithBackslash;
    } cases[] = {
        {"C:\\ソフト表示\\表.exe", "C:\\ソフト表示\\", "表.exe", false},
        {"C:\\ソフト表示\\", "C:\\ソフト表示\\", "", true},
        {"C:\\ソフト表示", "C:\\", "ソフト表示", false},
        {"表", "", "表", false},
        {"ソ\\", "ソ\\", "", true},
        {"", "", "", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.folder, lib::PathFolder(c.path)) << c.path;
        EXPECT_EQ(c.name, lib::PathFileName(c.path)) << c.path;
        EXPECT_EQ(c.endsWithBackslash, lib::EndsWithBackslash(c.path)) << c.path;
    }
    EXPECT_EQ("C:\\ソフト表示\\表.exe", lib::JoinPath("C:\\ソフト表示", "表.exe"));
    EXPECT_EQ("C:\\ソフト表示\\表.exe", lib::JoinPath("C:\\ソフト表示\\", "表.exe"));
    EXPECT_EQ("表.exe", lib::JoinPath("", "表.exe"));
    EXPECT_EQ((std::vector<std::size_t>{2, 13}), lib::PathSeparators("C:\\ソフト表示\\表"));
}

// The service address as a program in the argument's folder finds it.
RAVELIN_CHILD_SCENARIO(connection_url) {
    test::WriteWholeFile(argument + "\\result.txt", update::GetConnectionUrl(update::kUpdateServiceId));
    return 0;
}

TEST(AnsiPath, ConnectionFileIsFoundBesideAProgramInAShiftJisFolder) {
    test::ScratchFolder scratch;
    const std::string folder = scratch.path() + "ソフト表示";
    ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
    // The program's own name ends with 0x5C bytes too.
    const std::string program = folder + "\\ソフト表示.exe";
    ASSERT_TRUE(::CopyFileA(test::OwnPath().c_str(), program.c_str(), FALSE));
    test::WriteWholeFile(folder + "\\Connection.info", "30,http://localhost:1/表示\r\n");
    EXPECT_EQ(0, test::RunToEnd(test::ChildScenarioCommand("connection_url", folder, program)));
    EXPECT_EQ("http://localhost:1/表示", test::ReadWholeFile(folder + "\\result.txt"));
}
