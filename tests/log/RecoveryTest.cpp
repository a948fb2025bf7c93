// Failures and misuse: records before Start, invalid kinds, over-long
// messages, a log that cannot be opened, a lock that cannot be had.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "lib/UniqueHandle.h"
#include "log/KilnLogWrapper.h"
#include "tests/log/LogTestSupport.h"
#include "tests/support/ChildScenario.h"

namespace {

const std::string kNotice = "## 出力先が設定されていません。デフォルト出力先を使用します";
const std::string kTruncated = "## 出力サイズオーバーです。出力を切り詰めます";

}  // namespace

RAVELIN_CHILD_SCENARIO(before_start) {
    int failures = KILNLOG.Write(kLogWarning, "lost") != 2;
    failures += KILNLOG.Write(kLogTrace, "skipped") != 0;
    failures += KILNLOG.Write(kLogInfo, "first") != 0;
    // Threads setting up the system log at the same time must agree on it.
    std::atomic<int> threadFailures{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < 3; ++i) {
        threads.emplace_back([&threadFailures, i] { threadFailures += KILNLOG.Write(kLogError, "thread %d", i) != 0; });
    }
    for (std::thread& thread : threads) thread.join();
    KILNLOG.Start(argument.c_str(), 4096);
    return failures + threadFailures + (KILNLOG.Write(kLogInfo, "after start") != 0);
}

RAVELIN_CHILD_SCENARIO(misuse) {
    KILNLOG.Start(argument.c_str(), 4096);
    int failures = KILNLOG.Write(11, "eleven") != 0;
    failures += KILNLOG.Write(-1, "minus one") != 0;
    failures += KILNLOG.Write(kLogInfo, "%s", std::string(1023, 'a').c_str()) != 0;
    failures += KILNLOG.Write(kLogInfo, "%s", std::string(1024, 'b').c_str()) != 0;
    failures += KILNLOG.Write(kLogInfo, "%s日本", std::string(1022, 'c').c_str()) != 0;
    failures += KILNLOG.Write(kLogInfo, "%s日本", std::string(1021, 'd').c_str()) != 0;
    return failures;
}

RAVELIN_CHILD_SCENARIO(start_only) {
    KILNLOG.Start(argument.c_str(), 4096);
    return 0;
}

RAVELIN_CHILD_SCENARIO(write_one) {
    KILNLOG.Start(argument.c_str(), 4096);
    return KILNLOG.Write(kLogInfo, "refused");
}

RAVELIN_CHILD_SCENARIO(dump_to_folder) {
    KILNLOG.Start(argument.c_str(), 4096);
    return KILNLOG.Write(kLogDump, "dump");
}

TEST(Recovery, BeforeStartRecordsGoToTheSystemLogWithNotice) {
    logtest::ProgramCopy program("before_start");
    ASSERT_EQ(0, program.Run("before_start", program.folder() + "main.log"));

    std::vector<std::string> system = logtest::Summary(program.systemLog());
    ASSERT_EQ(8u, system.size());
    EXPECT_EQ(kNotice, system[0]);
    EXPECT_EQ(".. first", system[1]);
    // The threads' notices and records may interleave.
    std::sort(system.begin() + 2, system.end());
    EXPECT_EQ((std::vector<std::string>{"!! thread 0", "!! thread 1", "!! thread 2", kNotice, kNotice, kNotice}),
              std::vector<std::string>(system.begin() + 2, system.end()));
    EXPECT_EQ((std::vector<std::string>{"== ==========<開始()>==========", ".. after start"}),
              logtest::Summary(program.folder() + "main.log"));
}

TEST(Recovery, InvalidKindsAndOverlongMessages) {
    test::ScratchFolder scratch;
    ASSERT_EQ(0, logtest::RunScenario("misuse", scratch.path() + "misuse.log"));
    const std::vector<std::string> expected = {
        "== ==========<開始()>==========",
        "## 不正なログ種別[11]が指定されました",
        "## 不正なログ種別[-1]が指定されました",
        ".. " + std::string(1023, 'a'),
        kTruncated,
        ".. " + std::string(1023, 'b'),
        kTruncated,
        ".. " + std::string(1022, 'c'),  // not 1023: that would keep half of a double-byte character
        kTruncated,
        ".. " + std::string(1021, 'd') + "日",
    };
    EXPECT_EQ(expected, logtest::Summary(scratch.path() + "misuse.log"));
}

TEST(Recovery, LogThatCannotBeOpenedIsReportedInTheSystemLog) {
    logtest::ProgramCopy program("file_error");
    const std::string folder = program.folder() + "a folder";
    ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
    ASSERT_EQ(0, program.Run("dump_to_folder", folder));
    EXPECT_EQ((std::vector<std::string>{"## ファイルエラーが発生しました。GetLastError[5]",
                                        "## ダンプファイルエラーが発生しました。GetLastError[5]"}),
              logtest::Summary(program.systemLog()));
}

TEST(Recovery, RecordThatCannotBeWrittenIsReportedNotTakenAsWritten) {
    // The host's full device opens like a file and refuses every write, as a
    // full disk does.
    const std::string fullDevice = "Z:\\dev\\full";
    if (!lib::FileHandle(::CreateFileA(fullDevice.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr))) {
        GTEST_SKIP() << "no " << fullDevice << ": error " << ::GetLastError();
    }
    logtest::ProgramCopy program("write_error");
    EXPECT_EQ(0, program.Run("write_one", fullDevice));
    EXPECT_EQ((std::vector<std::string>{"## ファイルエラーが発生しました。GetLastError[112]",
                                        "## ファイルエラーが発生しました。GetLastError[112]"}),
              logtest::Summary(program.systemLog()));
}

TEST(Recovery, LockHeldLongerThanTenSecondsDropsTheRecord) {
    logtest::ProgramCopy program("held");
    const std::string name = "held_" + std::to_string(::GetCurrentProcessId()) + ".log";
    lib::KernelHandle mutex(::CreateMutexA(nullptr, TRUE, name.c_str()));
    ASSERT_TRUE(mutex);
    const DWORD start = ::GetTickCount();
    ASSERT_EQ(0, program.Run("start_only", program.folder() + name));
    EXPECT_GE(::GetTickCount() - start, 9900u);
    ::ReleaseMutex(mutex.get());

    EXPECT_FALSE(test::FileExists(program.folder() + name));
    EXPECT_EQ(std::vector<std::string>{"## 排他で待てませんでした"}, logtest::Summary(program.systemLog()));
}
