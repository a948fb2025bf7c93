// "removeall": the suite's programs are asked to close and ended when they
// do not, then the suite's products are uninstalled.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

#include "lib/UniqueHandle.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/ChildScenario.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/TestWindow.h"
#include "tests/updater/MsiEngineTestSupport.h"
#include "tests/updater/UpdaterProgram.h"

namespace updatertest {
namespace {

constexpr char kReadyEvent[] = "RavelinRemoveAllTestReady";
// The first of the products the remove-all mode uninstalls (RavelinTestRemoveAll.msi).
constexpr char kSuiteProduct[] = "{B8AA5F36-319F-4B64-A563-9E0E6F1A75AA}";
constexpr UINT_PTR kLifetimeTimer = 1;
constexpr UINT kLifetime = 60000;

// A scenario's program window: whether it ignores WM_CLOSE, and the file that
// gets one character per close request.
struct ProgramWindow {
    bool stubborn;
    std::string closeLog;
};

LRESULT CALLBACK ProgramWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* program = reinterpret_cast<ProgramWindow*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (message) {
    case WM_CLOSE:
        test::WriteWholeFile(program->closeLog, test::ReadWholeFile(program->closeLog) + "c");
        if (program->stubborn) return 0;
        break;
    case WM_TIMER:
        ::DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

// Shows a window titled `title` until it is closed (or a minute has passed).
int RunProgramWindow(const char* title, bool stubborn, const std::string& closeLog) {
    ProgramWindow program{stubborn, closeLog};
    HWND window = test::CreateTestWindow("RavelinSuiteProgramStandIn", &ProgramWindowProc, title,
                                         WS_OVERLAPPEDWINDOW, nullptr, &program);
    if (!window) return 2;
    ::SetTimer(window, kLifetimeTimer, kLifetime, nullptr);
    lib::KernelHandle ready(::OpenEventA(EVENT_MODIFY_STATE, FALSE, kReadyEvent));
    if (ready) ::SetEvent(ready.get());
    MSG message{};
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) ::DispatchMessageA(&message);
    return 0;
}

RAVELIN_CHILD_SCENARIO(StubbornSuiteProgram) { return RunProgramWindow("VantorManager", true, argument); }

RAVELIN_CHILD_SCENARIO(PoliteSuiteProgram) { return RunProgramWindow("Ravelin", false, argument); }

class RemoveAll : public ::testing::Test {
protected:
    // Starts the scenario's program and waits until its window is there.
    void StartProgram(const char* scenario) {
        lib::KernelHandle ready(::CreateEventA(nullptr, TRUE, FALSE, kReadyEvent));
        program_ = std::make_unique<test::ChildProcess>(test::ChildScenarioCommand(scenario, closeLog()));
        ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(ready.get(), kBound));
    }

    // Runs the remove-all mode to its end; its duration in milliseconds.
    DWORD RunRemoveAll(DWORD bound) {
        const DWORD start = ::GetTickCount();
        test::ChildProcess updater(UpdaterCommand("removeall"));
        DWORD exitCode = 1;
        EXPECT_TRUE(updater.Wait(bound, &exitCode));
        EXPECT_EQ(0u, exitCode);
        return ::GetTickCount() - start;
    }

    std::string closeLog() const { return folder_.path() + "closes.txt"; }

    test::ScratchFolder folder_;
    const LogWatch log_;
    std::unique_ptr<test::ChildProcess> program_;
};

TEST_F(RemoveAll, EndsAProgramThatIgnoresElevenCloseRequests) {
    ASSERT_NO_FATAL_FAILURE(StartProgram("StubbornSuiteProgram"));
    const DWORD duration = RunRemoveAll(kBound);
    DWORD exitCode = 0;
    ASSERT_TRUE(program_->Wait(kBound, &exitCode));
    EXPECT_EQ(0xFFFFFFFFu, exitCode);
    // Ten half-second waits, then the end.
    EXPECT_GE(duration, 4500u);
    EXPECT_LT(duration, 9000u);
    // The eleventh request may or may not be handled before the process ends.
    const size_t closes = test::ReadWholeFile(closeLog()).size();
    EXPECT_GE(closes, 10u);
    EXPECT_LE(closes, 11u);
    EXPECT_EQ("", log_.Added());
}

TEST_F(RemoveAll, AProgramThatClosesIsAskedOnce) {
    ASSERT_NO_FATAL_FAILURE(StartProgram("PoliteSuiteProgram"));
    const DWORD duration = RunRemoveAll(kBound);
    DWORD exitCode = 1;
    ASSERT_TRUE(program_->Wait(kBound, &exitCode));
    EXPECT_EQ(0u, exitCode);
    EXPECT_EQ("c", test::ReadWholeFile(closeLog()));
    EXPECT_LT(duration, 4500u);
}

TEST_F(RemoveAll, UninstallsAnInstalledSuiteProduct) {
    ASSERT_TRUE(msitest::EnsureAbsent(kSuiteProduct));
    const std::string install =
        "msiexec.exe /i \"" + msitest::PackagePath("RavelinTestRemoveAll") + "\" /qn";
    ASSERT_EQ(0, test::RunToEnd(install));
    ASSERT_EQ(INSTALLSTATE_DEFAULT, msitest::ProductState(kSuiteProduct));

    // The uninstaller of this product is waited for, so it is gone when the mode ends.
    RunRemoveAll(90000);
    EXPECT_EQ(INSTALLSTATE_UNKNOWN, msitest::ProductState(kSuiteProduct));
    EXPECT_EQ("", log_.Added());
}

}  // namespace
}  // namespace updatertest
