// An exception escaping a handler is logged by the policy, answered with 0,
// and the window keeps running.
#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "log/KilnLogWrapper.h"
#include "tests/lib/wfc/WfcTestSupport.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/ChildScenario.h"
#include "tests/support/ScratchFolder.h"

namespace {

class ThrowingWindow : public test::TestWindow {
public:
    void OnPaint() override {
        DefaultProc();
        if (++paints == 1) throw std::runtime_error("broken paint");
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_APP) throw 42;
        return CWindow::WindowProc(message, wParam, lParam);
    }
    int paints = 0;
};

// Exit code 0 when the window went on working after each failure.
RAVELIN_CHILD_SCENARIO(wfc_handler_throws) {
    CKilnLogWrapper("WindowPolicyTest", __LINE__).Start(argument.c_str(), 4096);
    test::FrameworkSession session;
    ThrowingWindow window;
    window.CreatePopup(true);
    if (!test::PumpUntil([&] { return window.paints == 1; })) return 1;
    window.InvalidateRect(nullptr, true);
    if (!test::PumpUntil([&] { return window.paints == 2; })) return 2;
    if (window.SendMessage(WM_APP, 0, 0) != 0) return 3;
    ::SetWindowTextA(window.GetHandle(), "alive");
    if (window.SendMessage(WM_GETTEXTLENGTH, 0, 0) != 5) return 4;
    return 0;
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, '\t');) fields.push_back(field);
    return fields;
}

TEST(WindowPolicy, AnEscapingExceptionIsLoggedOnceAndTheWindowGoesOn) {
    test::ScratchFolder folder;
    const std::string logPath = folder.path() + "wfc.log";
    test::ChildProcess child(test::ChildScenarioCommand("wfc_handler_throws", logPath));
    DWORD exitCode = 255;
    ASSERT_TRUE(child.Wait(30000, &exitCode));
    EXPECT_EQ(0u, exitCode);

    std::vector<std::vector<std::string>> errors;
    std::istringstream log(test::ReadWholeFile(logPath));
    for (std::string line; std::getline(log, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::vector<std::string> fields = Fields(line);
        if (fields.size() >= 6 && fields[1] == "!!") errors.push_back(fields);
    }
    ASSERT_EQ(2u, errors.size());
    const std::string prefix = "ウィンドウプロシージャ コールバック致命的エラー ";
    EXPECT_EQ("_WindowPolicy", errors[0][2]);
    EXPECT_EQ("47", errors[0][3]);
    EXPECT_EQ(prefix + "broken paint ERR:0x", errors[0][5].substr(0, errors[0][5].size() - 8));
    // Not a std::exception: still stopped at the window procedure and logged.
    EXPECT_EQ(prefix + "unknown exception ERR:0x", errors[1][5].substr(0, errors[1][5].size() - 8));
}

}  // namespace
