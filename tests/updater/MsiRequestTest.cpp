// Requests, the worker and the control with stand-ins for msi.dll: what the
// engine asks Windows Installer for, the end notification of a run without
// TERMINATE, cancelling queued work and waiting for the worker at a stop.
#include <gtest/gtest.h>
#include <windows.h>
#include <msi.h>

#include <string>
#include <vector>

#include "lib/UniqueHandle.h"
#include "tests/updater/MsiEngineTestSupport.h"
#include "updater/MsiFunctions.h"
#include "updater/MsiInstall.h"
#include "updater/MsiInstallCommonRequest.h"
#include "updater/MsiInstallControl.h"
#include "updater/PackageTrust.h"

namespace {

using msitest::HighWord;

constexpr DWORD kBound = 15000;

struct Call {
    std::string path;
    bool hasProperties;
    std::string properties;
};

// What the stand-in installer does and saw. One run at a time, on the worker
// or the test thread.
struct FakeInstaller {
    // Messages played to the handler during each install, and the result.
    std::vector<std::pair<UINT, const char*>> script;
    UINT result = ERROR_SUCCESS;
    // When set, each install signals `started` and waits for `release` first.
    bool block = false;
    // When set, each install plays progress until it is cancelled, then
    // takes `rollback` milliseconds more, as a rollback would.
    bool untilCancelled = false;
    DWORD rollback = 0;
    bool finished = false;
    lib::KernelHandle started{::CreateEventA(nullptr, FALSE, FALSE, nullptr)};
    lib::KernelHandle release{::CreateEventA(nullptr, TRUE, FALSE, nullptr)};

    INSTALLUI_HANDLERA handler = nullptr;
    LPVOID context = nullptr;
    DWORD filter = 0;
    INSTALLUILEVEL level = INSTALLUILEVEL_NOCHANGE;
    std::vector<Call> calls;
    std::vector<int> answers;
};

FakeInstaller* fake = nullptr;

INSTALLUI_HANDLERA WINAPI FakeSetExternalUI(INSTALLUI_HANDLERA handler, DWORD filter, LPVOID context) {
    fake->handler = handler;
    fake->filter = filter;
    fake->context = context;
    return nullptr;
}

INSTALLUILEVEL WINAPI FakeSetInternalUI(INSTALLUILEVEL level, HWND*) {
    fake->level = level;
    return INSTALLUILEVEL_BASIC;
}

UINT WINAPI FakeInstallProduct(LPCSTR path, LPCSTR properties) {
    fake->calls.push_back({path, properties != nullptr, properties ? properties : ""});
    if (fake->block) {
        ::SetEvent(fake->started.get());
        ::WaitForSingleObject(fake->release.get(), 60000);
    }
    for (const auto& message : fake->script) {
        fake->answers.push_back(fake->handler(fake->context, message.first, message.second));
    }
    if (fake->untilCancelled) {
        ::SetEvent(fake->started.get());
        // Action information: a progress message that notifies nobody.
        for (int tick = 0; tick < 600; ++tick) {
            if (fake->handler(fake->context, INSTALLMESSAGE_PROGRESS, "1: 1 2: 0 3: 0 ") == IDCANCEL) break;
            ::Sleep(50);
        }
        ::Sleep(fake->rollback);
        fake->finished = true;
        return ERROR_INSTALL_USEREXIT;
    }
    return fake->result;
}

INSTALLSTATE WINAPI FakeQueryProductState(LPCSTR) { return INSTALLSTATE_UNKNOWN; }

class MsiRequest : public ::testing::Test {
protected:
    MsiRequest()
        : previous_(MsiInstaller::ReplaceMsiFunctions(
              {&FakeSetExternalUI, &FakeSetInternalUI, &FakeInstallProduct, &FakeQueryProductState})) {
        fake = &installer;
        msitest::SettlePendingCancel();
    }
    ~MsiRequest() override {
        ::SetEvent(installer.release.get());
        MsiInstaller::ReplaceMsiFunctions(previous_);
    }

    void Run(std::int32_t installType, const std::string& path) {
        // This test program is unsigned: every package is admitted, as by a developer build.
        MsiInstaller::MsiInstallCommonRequest(MsiInstaller::PackageTrust::OfThisProgram(), installType, 2,
                                              recorder.window(), recorder.message(), path)
            .DoAction();
        recorder.Drain();
    }

    InstallRequestRecord Record(const std::string& path) {
        return msitest::MakeRecord(3, 1, recorder.window(), recorder.message(), path);
    }

    FakeInstaller installer;
    msitest::NotifyRecorder recorder;

private:
    MsiInstaller::MsiFunctions previous_;
};

TEST_F(MsiRequest, InstallsSilentlyWithTheExternalHandlerAndTheReinstallProperties) {
    installer.script = {{INSTALLMESSAGE_INITIALIZE, nullptr}, {INSTALLMESSAGE_TERMINATE, nullptr}};
    Run(1, "C:\\first.msi");
    Run(2, "C:\\second.msi");
    ASSERT_EQ(2u, installer.calls.size());
    EXPECT_EQ("C:\\first.msi", installer.calls[0].path);
    EXPECT_FALSE(installer.calls[0].hasProperties);
    EXPECT_EQ("C:\\second.msi", installer.calls[1].path);
    EXPECT_EQ("REINSTALLMODE=vomus REINSTALL=ALL", installer.calls[1].properties);
    EXPECT_EQ(0x7FFFu, installer.filter);
    EXPECT_EQ(&MsiInstaller::MsiInstall::GetInstance(), installer.context);
    EXPECT_EQ(INSTALLUILEVEL_NONE, installer.level);

    // Other install types and an empty path do nothing at all.
    Run(0, "C:\\first.msi");
    Run(3, "C:\\first.msi");
    Run(1, "");
    EXPECT_EQ(2u, installer.calls.size());
    EXPECT_EQ((std::vector<WPARAM>{INSTALL_NOTIFY_START, INSTALL_NOTIFY_END, INSTALL_NOTIFY_START, INSTALL_NOTIFY_END}),
              recorder.codes());
}

TEST_F(MsiRequest, ARunWithoutTerminateStillEndsExactlyOnceAndIsLogged) {
    const msitest::LogWatch log;
    installer.script = {{INSTALLMESSAGE_INITIALIZE, nullptr}};
    installer.result = ERROR_FILE_NOT_FOUND;
    Run(1, "C:\\missing.msi");
    ASSERT_EQ(2u, recorder.notifications().size());
    EXPECT_EQ(INSTALL_NOTIFY_START, recorder.notifications()[0].code);
    EXPECT_EQ(INSTALL_NOTIFY_END, recorder.notifications()[1].code);
    EXPECT_EQ(HighWord(2), recorder.notifications()[1].value);
    EXPECT_NE(std::string::npos, log.Added().find("MsiInstallCommonRequest::DoAction[ERROR:0x00000002]"));

    // With a TERMINATE from the installer nothing is added.
    recorder.Clear();
    installer.script = {{INSTALLMESSAGE_INITIALIZE, nullptr}, {INSTALLMESSAGE_TERMINATE, nullptr}};
    Run(1, "C:\\present.msi");
    EXPECT_EQ((std::vector<WPARAM>{INSTALL_NOTIFY_START, INSTALL_NOTIFY_END}), recorder.codes());
}

TEST_F(MsiRequest, TheEndOfARunWithoutTerminateAlsoSettlesAPendingCancel) {
    MsiInstaller::MsiInstall::GetInstance().Cancel();
    installer.script = {{INSTALLMESSAGE_INITIALIZE, nullptr}, {INSTALLMESSAGE_PROGRESS, "1: 0 2: 10 3: 0 4: 0 "}};
    installer.result = ERROR_INSTALL_USEREXIT;
    Run(1, "C:\\cancelled.msi");
    EXPECT_EQ((std::vector<int>{0, IDCANCEL}), installer.answers);
    EXPECT_FALSE(MsiInstaller::MsiInstall::GetInstance().CancelRequested());
    EXPECT_EQ((std::vector<WPARAM>{INSTALL_NOTIFY_START, INSTALL_NOTIFY_END}), recorder.codes());
}

TEST_F(MsiRequest, CancelDropsTheQueueAndCancelsTheRunningInstallation) {
    installer.block = true;
    installer.script = {{INSTALLMESSAGE_INITIALIZE, nullptr},
                        {INSTALLMESSAGE_PROGRESS, "1: 0 2: 10 3: 0 4: 0 "},
                        {INSTALLMESSAGE_TERMINATE, nullptr}};
    MsiInstaller::MsiInstallControl control;
    ASSERT_TRUE(control.Start());
    control.QueueInstall(Record("C:\\a.msi"));
    control.QueueInstall(Record("C:\\b.msi"));
    control.QueueInstall(Record("C:\\c.msi"));
    ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(installer.started.get(), kBound));

    control.Cancel();
    ::SetEvent(installer.release.get());
    ASSERT_TRUE(recorder.PumpUntilEnds(1, kBound));
    EXPECT_FALSE(MsiInstaller::MsiInstall::GetInstance().CancelRequested());
    EXPECT_TRUE(control.Stop());

    ASSERT_EQ(1u, installer.calls.size());
    EXPECT_EQ("C:\\a.msi", installer.calls[0].path);
    EXPECT_EQ((std::vector<int>{0, IDCANCEL, 0}), installer.answers);
    EXPECT_EQ((std::vector<WPARAM>{INSTALL_NOTIFY_START, INSTALL_NOTIFY_END}), recorder.codes());
}

// Each request is queued right after the one before it has ended, as the
// launcher hands over its packages, and once after the worker has sat idle:
// both used to wait for the worker's next look at the queue, up to 5 seconds.
TEST_F(MsiRequest, AQueuedRequestStartsAtOnceEvenWhenTheWorkerHasJustGoneIdle) {
    constexpr ULONGLONG kPrompt = 1500;
    installer.script = {{INSTALLMESSAGE_INITIALIZE, nullptr}, {INSTALLMESSAGE_TERMINATE, nullptr}};
    MsiInstaller::MsiInstallControl control;
    ASSERT_TRUE(control.Start());
    constexpr size_t kRounds = 5;
    for (size_t round = 1; round <= kRounds; ++round) {
        if (round == kRounds) ::Sleep(700);
        const ULONGLONG queued = ::GetTickCount64();
        control.QueueInstall(Record("C:\\prompt.msi"));
        ASSERT_TRUE(recorder.PumpUntil(INSTALL_NOTIFY_START, round, kBound)) << "round " << round;
        EXPECT_LT(::GetTickCount64() - queued, kPrompt) << "round " << round;
        ASSERT_TRUE(recorder.PumpUntilEnds(round, kBound)) << "round " << round;
    }
    EXPECT_TRUE(control.Stop());
    EXPECT_EQ(kRounds, installer.calls.size());
}

// Several requests queued together still run one at a time in queue order.
// The end notification is posted while the start is sent, so the next start
// may overtake it: the order shows in the installer's calls.
TEST_F(MsiRequest, RequestsQueuedTogetherRunInOrderWithoutWaiting) {
    installer.script = {{INSTALLMESSAGE_INITIALIZE, nullptr}, {INSTALLMESSAGE_TERMINATE, nullptr}};
    MsiInstaller::MsiInstallControl control;
    ASSERT_TRUE(control.Start());
    const ULONGLONG queued = ::GetTickCount64();
    control.QueueInstall(Record("C:\\1.msi"));
    control.QueueInstall(Record("C:\\2.msi"));
    control.QueueInstall(Record("C:\\3.msi"));
    ASSERT_TRUE(recorder.PumpUntilEnds(3, kBound));
    EXPECT_LT(::GetTickCount64() - queued, 1500u);
    EXPECT_TRUE(control.Stop());
    ASSERT_EQ(3u, installer.calls.size());
    EXPECT_EQ("C:\\1.msi", installer.calls[0].path);
    EXPECT_EQ("C:\\2.msi", installer.calls[1].path);
    EXPECT_EQ("C:\\3.msi", installer.calls[2].path);
    EXPECT_EQ(3u, recorder.Count(INSTALL_NOTIFY_START));
    EXPECT_EQ(3u, recorder.Count(INSTALL_NOTIFY_END));
    EXPECT_EQ(INSTALL_NOTIFY_START, recorder.codes().front());
}

// Stopping cancels and then waits for the installation to end, however long
// its rollback takes: the worker is never ended inside Windows Installer.
TEST_F(MsiRequest, StopWaitsForTheCancelledInstallationToEndInsteadOfEndingTheWorker) {
    installer.untilCancelled = true;
    installer.rollback = 6000;
    MsiInstaller::MsiInstallControl control;
    control.QueueInstall(Record("C:\\rolls-back.msi"));
    control.QueueInstall(Record("C:\\never.msi"));
    ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(installer.started.get(), kBound));

    const ULONGLONG before = ::GetTickCount64();
    EXPECT_TRUE(control.Stop());
    EXPECT_GE(::GetTickCount64() - before, 5900u);
    EXPECT_TRUE(installer.finished);

    // The queue went at the stop: a new worker finds nothing to do.
    installer.untilCancelled = false;
    ASSERT_TRUE(control.Start());
    EXPECT_TRUE(control.Stop());
    EXPECT_EQ(1u, installer.calls.size());
}

}  // namespace
