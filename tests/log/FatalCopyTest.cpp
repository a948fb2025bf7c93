// Fatal records: time-stamped copies of the log, at most four kept.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "lib/UniqueHandle.h"
#include "log/KilnLogWrapper.h"
#include "tests/log/LogTestSupport.h"
#include "tests/support/ChildScenario.h"

namespace {

WORD CurrentSecond() {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    return now.wSecond;
}

// Returns once the clock has moved to the next second (bounded to two seconds).
void WaitForNextSecond() {
    const WORD second = CurrentSecond();
    for (int i = 0; i < 100 && CurrentSecond() == second; ++i) ::Sleep(20);
}

// Names matching `pattern`, sorted, with each 14-digit time stamp replaced by "T".
std::vector<std::string> Find(const std::string& pattern, std::vector<std::string>* names = nullptr) {
    std::vector<std::string> found, shapes;
    WIN32_FIND_DATAA data;
    lib::FindHandle find(::FindFirstFileA(pattern.c_str(), &data));
    if (find) {
        do found.push_back(data.cFileName);
        while (::FindNextFileA(find.get(), &data));
    }
    std::sort(found.begin(), found.end());
    for (std::string name : found) {
        const std::size_t stamp = name.find("_fatal") + 6;
        const std::size_t end = name.find_first_not_of("0123456789", stamp);
        if ((end == std::string::npos ? name.size() : end) == stamp + 14) name.replace(stamp, 14, "T");
        shapes.push_back(name);
    }
    if (names) *names = found;
    return shapes;
}

}  // namespace

// Fatal records, each in a second of its own, as many as the argument's first character says.
RAVELIN_CHILD_SCENARIO(fatal) {
    KILNLOG.Start(argument.substr(1).c_str(), 4096);
    int failures = 0;
    for (int i = 0; i < argument[0] - '0'; ++i) {
        WaitForNextSecond();
        failures += KILNLOG.Write(kLogFatal, "fatal %d", i) != 0;
    }
    return failures;
}

// Two fatal records in one second; 77 when the clock moved on between them.
RAVELIN_CHILD_SCENARIO(fatal_same_second) {
    KILNLOG.Start(argument.c_str(), 4096);
    WaitForNextSecond();
    const WORD second = CurrentSecond();
    const int failures = KILNLOG.Write(kLogFatal, "one") + KILNLOG.Write(kLogFatal, "two");
    return CurrentSecond() != second ? 77 : failures;
}

TEST(FatalCopy, FiveFatalRecordsLeaveFourCopies) {
    test::ScratchFolder scratch;
    const std::string log = scratch.path() + "app.log";
    ASSERT_EQ(0, logtest::RunScenario("fatal", "5" + log));

    std::vector<std::string> copies;
    EXPECT_EQ(std::vector<std::string>(4, "app_fatalT.log"), Find(scratch.path() + "app_fatal*", &copies));
    // The first record's copy went; each other copy ends with its own record.
    for (std::size_t i = 0; i < copies.size(); ++i) {
        EXPECT_EQ(";; fatal " + std::to_string(i + 1), logtest::Summary(scratch.path() + copies[i]).back());
    }
    EXPECT_EQ(test::ReadWholeFile(log), test::ReadWholeFile(scratch.path() + copies.back()));
    EXPECT_EQ(6u, logtest::ReadRecords(log).size());  // banner and five records, no warnings
}

TEST(FatalCopy, SecondFatalRecordInOneSecondRefreshesThatCopy) {
    long result = 77;
    for (int attempt = 0; attempt < 3 && result == 77; ++attempt) {
        test::ScratchFolder scratch;
        const std::string log = scratch.path() + "app.log";
        result = logtest::RunScenario("fatal_same_second", log);
        if (result != 0) continue;
        std::vector<std::string> copies;
        EXPECT_EQ(std::vector<std::string>{"app_fatalT.log"}, Find(scratch.path() + "app_fatal*", &copies));
        EXPECT_EQ(test::ReadWholeFile(log), test::ReadWholeFile(scratch.path() + copies[0]));
        EXPECT_EQ(3u, logtest::ReadRecords(log).size());  // banner, "one", "two": no warning
    }
    EXPECT_EQ(0, result);
}

TEST(FatalCopy, NameWithoutExtensionGetsSuffixAtItsEnd) {
    test::ScratchFolder scratch;
    // The only '.' of the path is in a folder name, not in the log's own name.
    ASSERT_EQ(0, logtest::RunScenario("fatal", "1" + scratch.path() + "logs.d\\fatallog"));
    EXPECT_EQ(std::vector<std::string>{"fatallog_fatalT"}, Find(scratch.path() + "logs.d\\fatallog_fatal*"));
}

TEST(FatalCopy, OldestCopyGoesOrBlocksTheNewOne) {
    test::ScratchFolder scratch;
    const std::string log = scratch.path() + "app.log";
    for (char i = '1'; i <= '4'; ++i) test::WriteWholeFile(scratch.path() + "app_fatal2001010100000" + i + ".log", "");
    ASSERT_EQ(0, logtest::RunScenario("fatal", "1" + log));
    std::vector<std::string> copies;
    Find(scratch.path() + "app_fatal*", &copies);
    ASSERT_EQ(4u, copies.size());
    EXPECT_EQ("app_fatal20010101000002.log", copies[0]);

    // A copy that cannot be deleted keeps the new copy from being made.
    ASSERT_TRUE(::SetFileAttributesA((scratch.path() + copies[0]).c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_EQ(0, logtest::RunScenario("fatal", "1" + log));
    std::vector<std::string> after;
    Find(scratch.path() + "app_fatal*", &after);
    EXPECT_EQ(copies, after);
    EXPECT_EQ("## 古い退避ファイル削除失敗のため、退避ファイルを作成できません", logtest::Summary(log).back());
}
