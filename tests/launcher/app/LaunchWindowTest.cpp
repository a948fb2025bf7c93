// The launch window in this process: the start-up notice before anything
// else, showing itself only when the update check is done, its error texts,
// help popups, opacity, menu commands and program buttons, and the end of
// the launcher. The update check runs against a port where nothing listens,
// so it fails at once with a connection error.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "launcher/app/HelpInfoWindow.h"
#include "launcher/app/LaunchWindow.h"
#include "launcher/app/LauncherMessages.h"
#include "launcher/app/RunAPPMgr.h"
#include "launcher/update/WebBrowseHelper.h"
#include "tests/launcher/app/AppWindowTestSupport.h"
#include "ui/SkinMessageBox.h"
#include "ui/SkinWindowItemButton.h"

namespace {

struct ShownMessage {
    std::string text;
    UINT type;
};
std::vector<ShownMessage> shownMessages;
std::vector<std::string> openedUrls;
std::vector<std::wstring> startedPrograms;
ui::CLaunchWindow* windowBeingCreated = nullptr;
bool noticeBeforeWindow = false;

BOOL CALLBACK CloseIfNotice(HWND window, LPARAM) {
    char title[8] = "x";
    ::GetWindowTextA(window, title, sizeof(title));
    if (::IsWindowVisible(window) && title[0] == '\0') {
        noticeBeforeWindow = windowBeingCreated && !windowBeingCreated->GetHandle();
        ::PostMessageA(window, WM_CLOSE, 0, 0);
    }
    return TRUE;
}

// Closes the start-up notice once it is on screen, noting whether the launch window existed yet.
void CALLBACK CloseNotice(HWND, UINT, UINT_PTR timer, DWORD) {
    ::EnumThreadWindows(::GetCurrentThreadId(), CloseIfNotice, 0);
    ::KillTimer(nullptr, timer);
}

HINSTANCE WINAPI RecordUrl(HWND, LPCSTR, LPCSTR file, LPCSTR, LPCSTR, INT) {
    openedUrls.push_back(file ? file : "");
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(42));
}

HINSTANCE WINAPI RecordStart(HWND, LPCWSTR, LPCWSTR file, LPCWSTR, LPCWSTR, INT) {
    startedPrograms.push_back(file ? file : L"");
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(42));
}

BYTE AlphaOf(HWND window) {
    BYTE alpha = 0;
    DWORD flags = 0;
    ::GetLayeredWindowAttributes(window, nullptr, &alpha, &flags);
    return alpha;
}

class LaunchWindowTest : public apptest::AppWindowTest {
protected:
    void SetUp() override {
        AppWindowTest::SetUp();
        shownMessages.clear();
        openedUrls.clear();
        startedPrograms.clear();
        savedUrlOpener_ = update::ReplaceShellExecute(RecordUrl);
        savedStarter_ = RunAPPMgr::ReplaceShellExecute(RecordStart);
        ui::SilentInstallEnvironment environment;
        environment.showMessage = [](HWND, const std::string& text, UINT type) {
            shownMessages.push_back({text, type});
            return IDOK;
        };
        environment.makeUpdateControl = [] {
            auto control = std::make_unique<CDownLoadCtrl>();
            control->SetServiceUrl("http://127.0.0.1:1/pcapp/GetLatestPCAplCommonAPI");
            return control;
        };
        window_ = std::make_unique<ui::CLaunchWindow>(environment);
        windowBeingCreated = window_.get();
        noticeBeforeWindow = false;
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, CloseNotice);
        ASSERT_TRUE(window_->Create());
        ::KillTimer(nullptr, timer);
        hwnd_ = window_->GetHandle();
    }
    void TearDown() override {
        if (::IsWindow(hwnd_)) ::DestroyWindow(hwnd_);
        MSG quit;
        ::PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);  // the window's own
        window_.reset();
        RunAPPMgr::ReplaceShellExecute(savedStarter_);
        update::ReplaceShellExecute(savedUrlOpener_);
        AppWindowTest::TearDown();
    }

    // Waits for the failed update check to end and the window to show itself.
    bool WaitUntilShown() {
        return skintest::PumpUntil([&] { return ::IsWindowVisible(hwnd_) && !window_->GetSilentInstallWindow(); },
                                   15000);
    }
    // The mouse as the system sends it: a move, then a press and release at a client point.
    void MoveTo(int x, int y) { ::SendMessageA(hwnd_, WM_MOUSEMOVE, 0, skintest::PointParam(x, y)); }
    void ClickAt(int x, int y) {
        MoveTo(x, y);
        ::SendMessageA(hwnd_, WM_LBUTTONDOWN, MK_LBUTTON, skintest::PointParam(x, y));
        ::SendMessageA(hwnd_, WM_LBUTTONUP, 0, skintest::PointParam(x, y));
        skintest::PumpPending();
    }

    std::unique_ptr<ui::CLaunchWindow> window_;
    HWND hwnd_ = nullptr;

private:
    update::ShellExecuteFunction savedUrlOpener_ = nullptr;
    RunAPPMgr::ShellExecuteFunction savedStarter_ = nullptr;
};

}  // namespace

TEST_F(LaunchWindowTest, ShowsItselfCentredOnlyAfterTheCheckAndTellsItsError) {
    EXPECT_TRUE(noticeBeforeWindow);
    EXPECT_FALSE(::IsWindowVisible(hwnd_));
    ASSERT_TRUE(WaitUntilShown());
    EXPECT_EQ(ui::CLaunchWindow::kActiveAlpha, AlphaOf(hwnd_));
    RECT work{};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const RECT rect = window_->GetWindowRect();
    EXPECT_NEAR((work.left + work.right) / 2, (rect.left + rect.right) / 2, 1);
    EXPECT_NEAR((work.top + work.bottom) / 2, (rect.top + rect.bottom) / 2, 1);
    // Nothing listens on the service's port: the connection text with its code.
    ASSERT_TRUE(skintest::PumpUntil([] { return !shownMessages.empty(); }, 5000));
    const std::string code = "(メッセージコード：04102EFD)";
    EXPECT_EQ(code, shownMessages.front().text.substr(shownMessages.front().text.size() - code.size()));
    EXPECT_EQ(static_cast<UINT>(MB_ICONEXCLAMATION), shownMessages.front().type);

    // Codes without a text show nothing; the maintenance code shows its text.
    shownMessages.clear();
    const UINT notifyError = ::RegisterWindowMessageA("CVLNotifyError");
    ::SendMessageA(hwnd_, notifyError, 0x04200007, 0);
    EXPECT_TRUE(shownMessages.empty());
    ::SendMessageA(hwnd_, notifyError, 0x04200005, 0);
    ASSERT_EQ(1u, shownMessages.size());
    EXPECT_NE(std::string::npos, shownMessages.front().text.find("サーバーのメンテナンス中です。"));
}

TEST_F(LaunchWindowTest, HelpPopupsFollowTheButtonsAndGoWithTheActivation) {
    ASSERT_TRUE(WaitUntilShown());
    MoveTo(255, 69);  // over the update button at 219..291
    ASSERT_NE(nullptr, window_->GetHelpWindow());
    EXPECT_EQ(ui::CLaunchWindow::kUpdateButton, window_->GetHoveredButtonId());
    const HWND updatePopup = window_->GetHelpWindow()->GetHandle();
    EXPECT_TRUE(::IsWindowVisible(updatePopup));

    MoveTo(139, 69);  // onto the editor button: the popup is replaced
    ASSERT_NE(nullptr, window_->GetHelpWindow());
    EXPECT_EQ(ui::CLaunchWindow::kEditorButton, window_->GetHoveredButtonId());
    skintest::PumpPending();
    EXPECT_FALSE(::IsWindow(updatePopup));

    ::SendMessageA(hwnd_, WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_EQ(nullptr, window_->GetHelpWindow());
    EXPECT_EQ(ui::CLaunchWindow::kInactiveAlpha, AlphaOf(hwnd_));
    ::SendMessageA(hwnd_, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(ui::CLaunchWindow::kActiveAlpha, AlphaOf(hwnd_));

    MoveTo(255, 69);
    ASSERT_NE(nullptr, window_->GetHelpWindow());
    ::SetCursorPos(0, 0);
    MoveTo(20, 60);  // the background
    EXPECT_EQ(nullptr, window_->GetHelpWindow());
    EXPECT_EQ(0, window_->GetHoveredButtonId());
}

TEST_F(LaunchWindowTest, MenuCommandsAndProgramButtons) {
    ASSERT_TRUE(WaitUntilShown());
    shownMessages.clear();
    ::SendMessageA(hwnd_, WM_COMMAND, ui::CLaunchWindow::kMenuHomePage, 0);
    ::SendMessageA(hwnd_, WM_COMMAND, ui::CLaunchWindow::kMenuOnlineHelp, 0);
    ASSERT_EQ(2u, openedUrls.size());
    EXPECT_NE(openedUrls[0], openedUrls[1]);
    EXPECT_NE(std::string::npos, openedUrls[1].find("web_help/index.html"));

    // No sibling program lies beside the test program: the start fails and the user is told.
    ClickAt(255, 69);
    EXPECT_TRUE(startedPrograms.empty());
    ASSERT_EQ(1u, shownMessages.size());
    EXPECT_EQ(ui::CLaunchWindow::kStartFailedText, shownMessages.front().text);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION), shownMessages.front().type);
}

TEST_F(LaunchWindowTest, CloseCodeEightEndsTheLauncher) {
    ASSERT_TRUE(WaitUntilShown());
    ::PostMessageA(hwnd_, LWM_PRCWINDOWCLOSE, kCloseLauncher, 0);
    EXPECT_TRUE(skintest::PumpUntil([&] { return !::IsWindow(hwnd_); }, 5000));
    MSG quit{};
    EXPECT_TRUE(::PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}
