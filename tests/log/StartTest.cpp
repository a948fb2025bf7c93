// Start: the size limit and its warning, rotation to the backup at the limit,
// and the Recover setting read from "CVLOG.ini" beside the program.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "log/KilnLogWrapper.h"
#include "tests/log/LogTestSupport.h"
#include "tests/support/ChildScenario.h"

namespace {

long long FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return static_cast<long long>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
}

// Writes a record through call site ("L", 7) that makes the log exactly `size` bytes long.
void FillTo(const std::string& log, long long size) {
    char thread[16];
    const long long header = 23 + 8 + std::snprintf(thread, sizeof thread, "%lx", ::GetCurrentThreadId()) + 1;
    const std::string text(static_cast<std::size_t>(size - FileSize(log) - header - 2), 'f');
    CKilnLogWrapper("L", 7).Write(kLogInfo, "%s", text.c_str());
}

}  // namespace

// Argument "size|path": Start with that size, then three 1000-byte records.
RAVELIN_CHILD_SCENARIO(start_size) {
    const std::size_t bar = argument.find('|');
    KILNLOG.Start(argument.substr(bar + 1).c_str(), std::stoi(argument.substr(0, bar)));
    for (int i = 0; i < 3; ++i) KILNLOG.Write(kLogInfo, "%s", std::string(1000, 'r').c_str());
    return 0;
}

// With a 1 KB limit: a 500-byte log, a 1000-byte message, one more record,
// then a log of exactly 1024 bytes and one more record. The exit code names
// the first step whose files were not as expected.
RAVELIN_CHILD_SCENARIO(rotation) {
    const std::string backup = argument + ".BAK";
    KILNLOG.Start(argument.c_str(), 1);
    FillTo(argument, 500);
    if (FileSize(argument) != 500 || FileSize(backup) != -1) return 1;
    KILNLOG.Write(kLogInfo, "%s", std::string(1000, 'b').c_str());
    const long long big = FileSize(argument);
    if (FileSize(backup) != 500 || big <= 1024) return 2;
    KILNLOG.Write(kLogInfo, "next");
    if (FileSize(backup) != big || logtest::ReadRecords(argument).size() != 1) return 3;
    FillTo(argument, 1024);
    if (FileSize(backup) != big || FileSize(argument) != 1024) return 4;
    KILNLOG.Write(kLogInfo, "z");
    if (FileSize(backup) != 1024 || logtest::Summary(argument) != std::vector<std::string>{".. z"}) return 5;
    return 0;
}

RAVELIN_CHILD_SCENARIO(trace) {
    KILNLOG.Write(kLogTrace, "before start");
    KILNLOG.Start(argument.c_str(), 4096);
    KILNLOG.Write(kLogTrace, "traced");
    return 0;
}

TEST(Start, SizeOutOfRangeWarnsAndUses4096KB) {
    constexpr long long kLimit = 4194304;
    for (const int size : {0, 5000}) {
        SCOPED_TRACE(size);
        test::ScratchFolder scratch;
        const std::string log = scratch.path() + "size.log";
        // 3000 bytes short of the limit: only the third 1000-byte record passes it.
        test::WriteWholeFile(log, std::string(kLimit - 3002, 'x') + "\r\n");
        ASSERT_EQ(0, logtest::RunScenario("start_size", std::to_string(size) + "|" + log));

        EXPECT_GT(FileSize(log + ".BAK"), kLimit - 1100);
        EXPECT_LE(FileSize(log + ".BAK"), kLimit);
        EXPECT_EQ(1u, logtest::ReadRecords(log).size());
        const std::vector<std::string> backup = logtest::Summary(log + ".BAK");
        ASSERT_EQ(5u, backup.size());
        EXPECT_EQ("## サイズ指定" + std::to_string(size) + "KBは不正です。4096KBとします", backup[1]);
        EXPECT_EQ("== ==========<開始()>==========", backup[2]);
    }
}

TEST(Start, OneKBLimitRotatesPastExactly1024Bytes) {
    test::ScratchFolder scratch;
    EXPECT_EQ(0, logtest::RunScenario("rotation", scratch.path() + "rotate.log"));
}

TEST(Start, TraceRecordsOnlyWithRecoverSetting) {
    logtest::ProgramCopy on("recover_on", "[Log]\r\nRecover=5\r\n");
    ASSERT_EQ(0, on.Run("trace", on.folder() + "t.log"));
    const std::vector<logtest::Record> records = logtest::ReadRecords(on.folder() + "t.log");
    ASSERT_EQ(2u, records.size());
    EXPECT_EQ("@@", records[1].tag);
    unsigned workingSet = 0, pagefile = 0;
    char text[16] = {};
    ASSERT_EQ(3, std::sscanf(records[1].text.c_str(), "[WS:%uKB, PF:%uKB]\t%15s", &workingSet, &pagefile, text));
    EXPECT_GT(workingSet, 0u);
    EXPECT_STREQ("traced", text);
    // Before Start the setting is off: nothing, not even the missing-destination notice.
    EXPECT_FALSE(test::FileExists(on.systemLog()));

    logtest::ProgramCopy off("recover_off", "[Log]\r\nRecover=0\r\n");
    ASSERT_EQ(0, off.Run("trace", off.folder() + "t.log"));
    EXPECT_EQ(std::vector<std::string>{"== ==========<開始()>=========="}, logtest::Summary(off.folder() + "t.log"));
}
