// Worker threads with their own dispatch context, a thread object destroyed
// while its thread runs, and the re-entrant lock.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>

#include "lib/UniqueHandle.h"
#include "lib/wfc/CriticalSection.h"
#include "lib/wfc/Thread.h"
#include "lib/wfc/ThreadContext.h"
#include "log/KilnLogWrapper.h"
#include "tests/lib/wfc/WfcTestSupport.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/ChildScenario.h"
#include "tests/support/ScratchFolder.h"

namespace {

using lib::KernelHandle;
using lib::wfc::CCriticalSection;
using lib::wfc::CriticalSectionLock;
using lib::wfc::CThread;

KernelHandle NewEvent() { return KernelHandle(::CreateEventA(nullptr, TRUE, FALSE, nullptr)); }

bool Signalled(HANDLE handle, DWORD milliseconds) {
    return ::WaitForSingleObject(handle, milliseconds) == WAIT_OBJECT_0;
}

DWORD ExitCode(HANDLE thread) {
    DWORD code = 0;
    ::GetExitCodeThread(thread, &code);
    return code;
}

class WorkThread : public CThread {
public:
    explicit WorkThread(std::function<unsigned()> work) : work_(std::move(work)) {}
    ~WorkThread() override { Join(5000); }
    unsigned Run() override { return work_(); }

private:
    std::function<unsigned()> work_;
};

class CreatedWindow : public test::TestWindow {
public:
    bool OnCreate(CREATESTRUCTA*) override { return created = true; }
    bool created = false;
};

TEST(Thread, RunsWithItsOwnDispatchContextAndCanOwnWindows) {
    bool attached = false, created = false, ownsWindow = false;
    char title[16] = {};
    const KernelHandle release = NewEvent();
    WorkThread thread([&] {
        attached = lib::wfc::ThreadContext::Current() != nullptr;
        CreatedWindow window;
        window.CreatePopup();
        created = window.created;
        ownsWindow = ::GetWindowThreadProcessId(window.GetHandle(), nullptr) == ::GetCurrentThreadId();
        // WM_SETTEXT reaches the system through DefaultProc, which needs this thread's context.
        ::SetWindowTextA(window.GetHandle(), "worker");
        ::GetWindowTextA(window.GetHandle(), title, sizeof title);
        return Signalled(release.get(), 5000) ? 42u : 0u;
    });
    ASSERT_TRUE(thread.Start());
    EXPECT_FALSE(thread.Start()) << "started twice";
    ::SetEvent(release.get());
    ASSERT_TRUE(thread.Join(10000));
    EXPECT_TRUE(attached && created && ownsWindow);
    EXPECT_STREQ("worker", title);
    EXPECT_EQ(42u, ExitCode(thread.GetHandle()));
}

// Exit code: the failed thread's exit code.
RAVELIN_CHILD_SCENARIO(wfc_thread_throws) {
    CKilnLogWrapper("ThreadTest", __LINE__).Start(argument.c_str(), 4096);
    WorkThread failing([]() -> unsigned { throw std::runtime_error("worker failed"); });
    if (!failing.Start() || !failing.Join(5000)) return 1;
    return static_cast<int>(ExitCode(failing.GetHandle()));
}

TEST(Thread, AnExceptionFromRunIsLoggedAndEndsOnlyTheThread) {
    test::ScratchFolder folder;
    const std::string logPath = folder.path() + "thread.log";
    test::ChildProcess child(test::ChildScenarioCommand("wfc_thread_throws", logPath));
    DWORD exitCode = 0;
    ASSERT_TRUE(child.Wait(30000, &exitCode));
    EXPECT_EQ(CThread::kFailedExitCode, exitCode);
    const std::string log = test::ReadWholeFile(logPath);
    EXPECT_NE(std::string::npos, log.find("\t!!\tThread")) << log;
    EXPECT_NE(std::string::npos, log.find("スレッド致命的エラー worker failed")) << log;
}

TEST(Thread, DestroyingTheObjectOfARunningThreadEndsTheThreadFirst) {
    // Not joined by its owner: the thread must not go on running on a freed object.
    class Forgotten : public CThread {
    public:
        Forgotten(HANDLE release, HANDLE running) : release_(release), running_(running) {}
        unsigned Run() override {
            const HANDLE release = release_;
            ::SetEvent(running_);
            return Signalled(release, 60000) ? 7 : 8;
        }

    private:
        HANDLE release_, running_;
    };
    const KernelHandle release = NewEvent(), running = NewEvent();
    HANDLE duplicate = nullptr;
    {
        Forgotten forgotten(release.get(), running.get());
        ASSERT_TRUE(forgotten.Start());
        ASSERT_TRUE(Signalled(running.get(), 5000));
        ::DuplicateHandle(::GetCurrentProcess(), forgotten.GetHandle(), ::GetCurrentProcess(), &duplicate, 0,
                          FALSE, DUPLICATE_SAME_ACCESS);
    }
    const KernelHandle thread(duplicate);
    ASSERT_TRUE(thread);
    EXPECT_TRUE(Signalled(thread.get(), 0)) << "the thread outlived its object";
    EXPECT_EQ(CThread::kFailedExitCode, ExitCode(thread.get()));
}

TEST(CriticalSection, IsReentrantForItsOwnerAndExcludesOtherThreads) {
    CCriticalSection section;
    // On a thread of its own, so that a lock that is not re-entrant fails the test instead of hanging it.
    WorkThread nested([&] {
        CriticalSectionLock outer(section);
        CriticalSectionLock inner(section);
        return 1u;
    });
    ASSERT_TRUE(nested.Start());
    EXPECT_TRUE(nested.Join(5000));

    const KernelHandle entered = NewEvent();
    WorkThread contender([&] {
        CriticalSectionLock lock(section);
        ::SetEvent(entered.get());
        return 0u;
    });
    CriticalSectionLock lock(section, false);
    lock.Lock();
    lock.Lock();  // a second Lock through one object enters once
    ASSERT_TRUE(contender.Start());
    EXPECT_FALSE(Signalled(entered.get(), 200));
    lock.Unlock();
    EXPECT_TRUE(Signalled(entered.get(), 5000)) << "the section was left held";
}

}  // namespace
