// Two processes, two threads each, writing one log at the same time: every
// record arrives whole, once, in each writer's order.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlwapi.h>

#include <atomic>
#include <cstdio>
#include <map>
#include <string>
#include <thread>
#include <utility>

#include "lib/UniqueHandle.h"
#include "log/KilnLogWrapper.h"
#include "tests/log/LogTestSupport.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/ChildScenario.h"

namespace {

constexpr int kRecordsPerThread = 1000;

// Records differ in length so that a torn or merged record shows.
std::string Padding(int record) { return std::string(static_cast<std::size_t>(record * 37 % 200), 'p'); }

// Events named after the log file, which is unique to the test run.
std::string EventName(const std::string& log, const std::string& what) {
    return std::string(::PathFindFileNameA(log.c_str())) + "_" + what;
}

}  // namespace

// Argument "<index><path>": signals ready<index>, waits for go, writes from two threads.
RAVELIN_CHILD_SCENARIO(shared_writer) {
    const std::string log = argument.substr(1);
    KILNLOG.Start(log.c_str(), 4096);
    lib::KernelHandle ready(
        ::OpenEventA(EVENT_MODIFY_STATE, FALSE, EventName(log, "ready" + argument.substr(0, 1)).c_str()));
    lib::KernelHandle go(::OpenEventA(SYNCHRONIZE, FALSE, EventName(log, "go").c_str()));
    if (!::SetEvent(ready.get()) || ::WaitForSingleObject(go.get(), 30000) != WAIT_OBJECT_0) return 100;

    std::atomic<int> failures{0};
    auto write = [&failures](int thread) {
        for (int n = 0; n < kRecordsPerThread; ++n) {
            failures += KILNLOG.Write(kLogInfo, "writer %lu thread %d record %d %s", ::GetCurrentProcessId(), thread, n,
                                      Padding(n).c_str()) != 0;
        }
    };
    std::thread other(write, 1);
    write(0);
    other.join();
    return failures;
}

TEST(Concurrency, TwoProcessesWritingOneLog) {
    test::ScratchFolder scratch;
    const std::string log = scratch.path() + "shared_" + std::to_string(::GetCurrentProcessId()) + ".log";
    lib::KernelHandle go(::CreateEventA(nullptr, TRUE, FALSE, EventName(log, "go").c_str()));
    lib::KernelHandle ready0(::CreateEventA(nullptr, TRUE, FALSE, EventName(log, "ready0").c_str()));
    lib::KernelHandle ready1(::CreateEventA(nullptr, TRUE, FALSE, EventName(log, "ready1").c_str()));
    test::ChildProcess first(test::ChildScenarioCommand("shared_writer", "0" + log));
    test::ChildProcess second(test::ChildScenarioCommand("shared_writer", "1" + log));
    const HANDLE readies[] = {ready0.get(), ready1.get()};
    ASSERT_EQ(WAIT_OBJECT_0, ::WaitForMultipleObjects(2, readies, TRUE, 30000));
    ::SetEvent(go.get());
    DWORD firstCode = 1, secondCode = 1;
    ASSERT_TRUE(first.Wait(logtest::kChildBoundMilliseconds, &firstCode));
    ASSERT_TRUE(second.Wait(logtest::kChildBoundMilliseconds, &secondCode));
    EXPECT_EQ(0u, firstCode + secondCode);

    std::map<std::pair<unsigned long, int>, int> next;  // (process, thread) -> next record number
    int banners = 0, turns = 0;
    unsigned long previous = 0;
    for (const logtest::Record& record : logtest::ReadRecords(log)) {
        ASSERT_EQ(23u, record.time.size()) << record.text;
        if (record.tag == "==") {
            ++banners;
            continue;
        }
        unsigned long process = 0;
        int thread = -1, number = -1, consumed = 0;
        ASSERT_EQ(3, std::sscanf(record.text.c_str(), "writer %lu thread %d record %d %n", &process, &thread, &number,
                                 &consumed))
            << record.text;
        EXPECT_EQ(Padding(number), record.text.substr(static_cast<std::size_t>(consumed)));
        EXPECT_EQ(next[std::make_pair(process, thread)]++, number);
        turns += previous != 0 && process != previous;
        previous = process;
    }
    EXPECT_EQ(2, banners);
    ASSERT_EQ(4u, next.size());
    for (const auto& writer : next) EXPECT_EQ(kRecordsPerThread, writer.second);
    EXPECT_GT(turns, 0) << "the two processes never wrote in turn";
}
