// The progress arithmetic of the callback and the cancel decisions of the
// external UI handler, driven directly with Windows Installer's message texts.
#include <gtest/gtest.h>
#include <windows.h>
#include <msi.h>

#include "tests/updater/MsiEngineTestSupport.h"
#include "updater/MsiInstall.h"
#include "updater/MsiInstallCallback.h"

namespace {

using msitest::HighWord;
using MsiInstaller::MsiInstall;
using MsiInstaller::MsiInstallCallback;

constexpr int kApplicationType = 3;

class MsiCallback : public ::testing::Test {
protected:
    MsiCallback() {
        callback.Reset();
        callback.Bind(recorder.window(), recorder.message(), kApplicationType);
    }

    void Progress(const char* text) { EXPECT_EQ(0, callback.Dispatch(INSTALLMESSAGE_PROGRESS, text)); }
    void ActionData() { EXPECT_EQ(0, callback.Dispatch(INSTALLMESSAGE_ACTIONDATA, "action data")); }

    // The notifications so far as (code, value) pairs, then forgets them.
    std::vector<std::pair<WPARAM, LPARAM>> Take() {
        recorder.Drain();
        std::vector<std::pair<WPARAM, LPARAM>> taken;
        for (const msitest::Notification& n : recorder.notifications()) taken.emplace_back(n.code, n.value);
        recorder.Clear();
        return taken;
    }

    msitest::NotifyRecorder recorder;
    MsiInstallCallback callback;
};

using Sent = std::vector<std::pair<WPARAM, LPARAM>>;

TEST_F(MsiCallback, ResetWithTotalZeroSendsResetAndPositionThenIgnoresReports) {
    Progress("1: 0 2: 0 3: 0 4: 0 ");
    EXPECT_EQ((Sent{{INSTALL_NOTIFY_RESET, 0}, {INSTALL_NOTIFY_POSITION, 0}}), Take());
    Progress("1: 2 2: 100 3: 0 4: 0 ");
    Progress("1: 2 2: 50 3: 0 4: 0 ");
    EXPECT_TRUE(Take().empty());
    EXPECT_EQ(0, callback.Position());
}

TEST_F(MsiCallback, ForwardAndRollbackResetsMoveThePositionEachWay) {
    Progress("1: 0 2: 1000 3: 0 4: 0 ");
    Progress("1: 2 2: 300 3: 0 4: 0 ");
    Progress("1: 2 2: 300 3: 0 4: 0 ");
    EXPECT_EQ((Sent{{INSTALL_NOTIFY_RESET, HighWord(1000)},
                    {INSTALL_NOTIFY_POSITION, 0},
                    {INSTALL_NOTIFY_POSITION, 300},
                    {INSTALL_NOTIFY_POSITION, 600}}),
              Take());

    // A rollback starts at the total and counts down, past zero if told to.
    Progress("1: 0 2: 500 3: 1 4: 0 ");
    EXPECT_FALSE(callback.Forward());
    Progress("1: 2 2: 200 3: 0 4: 0 ");
    Progress("1: 2 2: 400 3: 0 4: 0 ");
    EXPECT_EQ((Sent{{INSTALL_NOTIFY_RESET, HighWord(500)},
                    {INSTALL_NOTIFY_POSITION, 500},
                    {INSTALL_NOTIFY_POSITION, 300},
                    {INSTALL_NOTIFY_POSITION, -100}}),
              Take());
}

TEST_F(MsiCallback, ActionInfoMakesEachActionDataAdvanceByTheStep) {
    Progress("1: 0 2: 10000 3: 0 4: 0 ");
    Take();
    ActionData();
    EXPECT_TRUE(Take().empty());

    Progress("1: 1 2: 500 3: 1 4: 0 ");
    EXPECT_TRUE(Take().empty());
    ActionData();
    ActionData();
    EXPECT_EQ((Sent{{INSTALL_NOTIFY_POSITION, 500}, {INSTALL_NOTIFY_POSITION, 1000}}), Take());

    // Field 3 other than 1 switches action data off again.
    Progress("1: 1 2: 700 3: 0 4: 0 ");
    ActionData();
    EXPECT_TRUE(Take().empty());
    EXPECT_EQ(500, callback.Step());
}

TEST_F(MsiCallback, AddToTotalEnlargesTheTotalUnlessTheAmountIsZero) {
    Progress("1: 0 2: 1000 3: 0 4: 0 ");
    Take();
    Progress("1: 3 2: 250 3: 0 4: 0 ");
    Progress("1: 3 2: 0 3: 0 4: 0 ");
    EXPECT_EQ((Sent{{INSTALL_NOTIFY_ADDTOTAL, HighWord(1250)}}), Take());
    EXPECT_EQ(1250, callback.Total());
}

TEST_F(MsiCallback, TotalsTravelAsTheirLowSixteenBitsInTheHighWord) {
    Progress("1: 0 2: 70000 3: 0 4: 0 ");
    const Sent sent = Take();
    ASSERT_EQ(2u, sent.size());
    EXPECT_EQ(4464, HIWORD(sent[0].second));
    EXPECT_EQ(0, LOWORD(sent[0].second));
    EXPECT_EQ(70000, callback.Total());

    Progress("1: 3 2: 65536 3: 0 4: 0 ");
    EXPECT_EQ((Sent{{INSTALL_NOTIFY_ADDTOTAL, HighWord(4464)}}), Take());
}

TEST_F(MsiCallback, UnusualProgressTextsAreReadSafely) {
    // Without "1:", or with nothing after it, every field is 0: a reset to nothing.
    for (const char* text : {static_cast<const char*>(nullptr), "", "1:", "2: 100 3: 0"}) {
        Progress("1: 0 2: 100 3: 0 4: 0 ");
        Take();
        Progress(text);
        EXPECT_EQ((Sent{{INSTALL_NOTIFY_RESET, 0}, {INSTALL_NOTIFY_POSITION, 0}}), Take()) << (text ? text : "null");
    }
    Progress("1: 0 2: 100 3: 0 4: 0 ");
    Take();
    Progress("1: 7 2: 5 3: 0 4: 0 ");
    Progress("1: 2");
    EXPECT_EQ((Sent{{INSTALL_NOTIFY_POSITION, 0}}), Take());
    EXPECT_EQ(100, callback.Total());
}

TEST_F(MsiCallback, InitializeStartsTerminatePostsTheEndAndBothReset) {
    Progress("1: 0 2: 1000 3: 1 4: 0 ");
    Progress("1: 1 2: 500 3: 1 4: 0 ");
    Take();
    EXPECT_EQ(0, callback.Dispatch(INSTALLMESSAGE_INITIALIZE, nullptr));
    EXPECT_EQ(0, callback.Total());
    EXPECT_TRUE(callback.Forward());
    EXPECT_FALSE(callback.ActionDataEnabled());
    EXPECT_EQ((Sent{{INSTALL_NOTIFY_START, HighWord(kApplicationType)}}), Take());

    Progress("1: 0 2: 1000 3: 0 4: 0 ");
    Take();
    EXPECT_FALSE(callback.Terminated());
    EXPECT_EQ(0, callback.Dispatch(INSTALLMESSAGE_TERMINATE, nullptr));
    EXPECT_TRUE(callback.Terminated());
    EXPECT_EQ(0, callback.Total());
    // Posted, not sent: it arrives only when the window's thread looks at its queue.
    EXPECT_TRUE(recorder.notifications().empty());
    EXPECT_EQ((Sent{{INSTALL_NOTIFY_END, HighWord(kApplicationType)}}), Take());
}

TEST_F(MsiCallback, FatalExitResetsAndOtherMessagesChangeNothing) {
    Progress("1: 0 2: 1000 3: 0 4: 0 ");
    Progress("1: 2 2: 10 3: 0 4: 0 ");
    Take();
    const UINT others[] = {INSTALLMESSAGE_ERROR,       INSTALLMESSAGE_WARNING,       INSTALLMESSAGE_USER,
                           INSTALLMESSAGE_INFO,        INSTALLMESSAGE_FILESINUSE,    INSTALLMESSAGE_RESOLVESOURCE,
                           INSTALLMESSAGE_OUTOFDISKSPACE, INSTALLMESSAGE_ACTIONSTART, INSTALLMESSAGE_COMMONDATA,
                           INSTALLMESSAGE_SHOWDIALOG,  0x0F000000u};
    for (UINT type : others) EXPECT_EQ(0, callback.Dispatch(type | MB_YESNO, "text"));
    EXPECT_EQ(1000, callback.Total());
    EXPECT_EQ(10, callback.Position());
    EXPECT_EQ(0, callback.Dispatch(INSTALLMESSAGE_FATALEXIT, "fatal"));
    EXPECT_EQ(0, callback.Total());
    EXPECT_EQ(0, callback.Position());
    EXPECT_TRUE(Take().empty());
}

// The handler of MsiInstall in front of a bound callback.
class MsiCancel : public MsiCallback {
protected:
    int Message(UINT type, const char* text) { return install.OnMessage(type, text); }

    MsiInstall install;
};

TEST_F(MsiCancel, ProgressIsAnsweredCancelOnlyOnceTheFlagIsSetUntilTerminate) {
    EXPECT_EQ(0, Message(INSTALLMESSAGE_PROGRESS, "1: 0 2: 100 3: 0 4: 0 "));  // no callback bound
    install.SetCallback(&callback);
    EXPECT_EQ(0, Message(INSTALLMESSAGE_INITIALIZE, nullptr));
    EXPECT_EQ(0, Message(INSTALLMESSAGE_PROGRESS, "1: 0 2: 100 3: 0 4: 0 "));
    EXPECT_EQ(0, Message(INSTALLMESSAGE_PROGRESS, "1: 2 2: 10 3: 0 4: 0 "));
    EXPECT_EQ(10, callback.Position());

    install.Cancel();
    EXPECT_EQ(IDCANCEL, Message(INSTALLMESSAGE_PROGRESS, "1: 2 2: 10 3: 0 4: 0 "));
    EXPECT_EQ(IDCANCEL, Message(INSTALLMESSAGE_PROGRESS, "1: 2 2: 10 3: 0 4: 0 "));
    EXPECT_EQ(10, callback.Position());  // the callback never saw them
    EXPECT_EQ(0, Message(INSTALLMESSAGE_ACTIONSTART, "action"));

    EXPECT_EQ(0, Message(INSTALLMESSAGE_TERMINATE, nullptr));
    EXPECT_FALSE(install.CancelRequested());
    EXPECT_EQ((Sent{{INSTALL_NOTIFY_START, HighWord(kApplicationType)},
                    {INSTALL_NOTIFY_RESET, HighWord(100)},
                    {INSTALL_NOTIFY_POSITION, 0},
                    {INSTALL_NOTIFY_POSITION, 10},
                    {INSTALL_NOTIFY_END, HighWord(kApplicationType)}}),
              Take());
    EXPECT_EQ(0, Message(INSTALLMESSAGE_PROGRESS, "1: 0 2: 100 3: 0 4: 0 "));
    EXPECT_EQ((Sent{{INSTALL_NOTIFY_RESET, HighWord(100)}, {INSTALL_NOTIFY_POSITION, 0}}), Take());
}

TEST_F(MsiCancel, ACancelWhileIdleCancelsTheNextInstallationAtItsFirstProgress) {
    install.Cancel();
    EXPECT_EQ(0, Message(INSTALLMESSAGE_PROGRESS, "1: 0 2: 100 3: 0 4: 0 "));  // nothing runs: no answer, still pending
    EXPECT_TRUE(install.CancelRequested());

    install.SetCallback(&callback);
    EXPECT_EQ(0, Message(INSTALLMESSAGE_INITIALIZE, nullptr));
    EXPECT_EQ(0, Message(INSTALLMESSAGE_ACTIONSTART, "action"));
    EXPECT_EQ(IDCANCEL, Message(INSTALLMESSAGE_PROGRESS, "1: 0 2: 100 3: 0 4: 0 "));
    EXPECT_EQ(0, Message(INSTALLMESSAGE_TERMINATE, nullptr));
    EXPECT_FALSE(install.CancelRequested());
}

}  // namespace
