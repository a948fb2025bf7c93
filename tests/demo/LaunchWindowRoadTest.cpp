// The launch window of the real launcher (nothing to update) driven from
// outside: help popups under the real pointer, the menu's web pages and
// version window, the program buttons, and a second launcher.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "tests/demo/DemoSuite.h"
#include "tests/demo/LauncherDriver.h"
#include "tests/support/ChildScenario.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/TestWindow.h"
#include "tests/support/UpdateService.h"

namespace {

constexpr DWORD kBound = 20000;
constexpr char kHomePageUrl[] = "http://witness.invalid/home-39";
constexpr char kOnlineHelpUrl[] = "https://witness.invalid/help-41";
constexpr LONG kPopupWidth = 388;
constexpr SIZE kVersionWindowSize{400, 180};
constexpr POINT kHoldSpot{60, 80};
// The popup's arrow is drawn in its top 11 rows; above row 6 the bottom of the buttons shows through.
constexpr int kArrowTop = 6;
constexpr int kArrowRows = 11;

// Client points of the launch window: the two buttons where the window moves them, and bare background.
constexpr POINT kUpdateButton{255, 69};
constexpr POINT kEditorButton{139, 69};
constexpr POINT kBackground{20, 60};

std::string WitnessFile() { return test::BesideSelf("launch_window_urls.txt"); }

// Stands in for the browser: notes the URL it was asked to open.
RAVELIN_CHILD_SCENARIO(url_witness) {
    const HANDLE file = ::CreateFileA(WitnessFile().c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    const std::string line = argument + "\n";
    DWORD written = 0;
    ::WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    ::CloseHandle(file);
    return 0;
}

// The prefix's handler of a URL scheme; the old command is put back afterwards. ShellExecute
// reads HKCR\<scheme>\shell\open\command, and Wine's HKCR is HKLM\Software\Classes alone (it
// does not see HKCU\Software\Classes).
class SchemeHandler {
public:
    SchemeHandler(const std::string& scheme, const std::string& command)
        : key_("Software\\Classes\\" + scheme + "\\shell\\open\\command") {
        char value[1024] = {};
        DWORD size = sizeof value - 1;
        existed_ = ::RegGetValueA(HKEY_LOCAL_MACHINE, key_.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value, &size) ==
                   ERROR_SUCCESS;
        old_ = value;
        Set(command);
    }
    ~SchemeHandler() {
        if (existed_) {
            Set(old_);
        } else {
            ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, key_.c_str());
        }
    }

private:
    void Set(const std::string& command) const {
        ::RegSetKeyValueA(HKEY_LOCAL_MACHINE, key_.c_str(), nullptr, REG_SZ, command.c_str(),
                          static_cast<DWORD>(command.size() + 1));
    }

    std::string key_;
    bool existed_ = false;
    std::string old_;
};

POINT OnScreen(HWND window, POINT at) {
    ::ClientToScreen(window, &at);
    return at;
}

// The real pointer onto a client point, and the move the window sees.
void Hover(HWND window, POINT at) {
    const POINT screen = OnScreen(window, at);
    ::SetCursorPos(screen.x, screen.y);
    ::PostMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
}

// A real click at a screen point, through the system's input queue. The pause lets a
// menu that has just appeared start tracking and take the pointer's item first.
void InputClick(POINT screen) {
    ::Sleep(200);
    ::SetCursorPos(screen.x, screen.y);
    ::Sleep(100);
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(1, &input[0], sizeof(INPUT));
    ::Sleep(50);
    ::SendInput(1, &input[1], sizeof(INPUT));
}

RECT RectOf(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return rect;
}

BYTE AlphaOf(HWND window) {
    BYTE alpha = 0;
    DWORD flags = 0;
    ::GetLayeredWindowAttributes(window, nullptr, &alpha, &flags);
    return alpha;
}

std::string ClassOf(HWND window) {
    char name[64] = {};
    ::GetClassNameA(window, name, sizeof name);
    return name;
}

// Visible windows of process `processId` that `accept` takes, other than those in `known`.
template <typename Accept>
HWND WaitForWindow(DWORD processId, Accept accept, const std::vector<HWND>& known = {}) {
    return road::WaitFor(
        [&]() -> HWND {
            for (HWND window : road::VisibleWindowsOf(processId)) {
                bool old = false;
                for (HWND seen : known) old = old || seen == window;
                if (!old && accept(window)) return window;
            }
            return nullptr;
        },
        kBound);
}

HWND WaitForPopup(DWORD processId, const std::vector<HWND>& known) {
    return WaitForWindow(
        processId, [](HWND w) { return RectOf(w).right - RectOf(w).left == kPopupWidth; }, known);
}

HWND WaitForMenu(DWORD processId, const std::vector<HWND>& known = {}) {
    return WaitForWindow(processId, [](HWND w) { return ClassOf(w) == "#32768"; }, known);
}

HWND WaitForVersionWindow(DWORD processId) {
    return WaitForWindow(processId, [](HWND w) {
        const RECT rect = RectOf(w);
        return rect.right - rect.left == kVersionWindowSize.cx && rect.bottom - rect.top == kVersionWindowSize.cy;
    });
}

// The first and last column (popup coordinates) of the arrow in the popup's rows 6..10, the only
// dark pixels there, once they are `expected` or the bound has passed: a popup that has just
// replaced another at the same place may not have drawn over the old one's arrow yet.
std::pair<int, int> WaitForArrow(HWND popup, std::pair<int, int> expected) {
    std::pair<int, int> found{-1, -1};
    road::WaitFor(
        [&]() -> HWND {
            found = {-1, -1};
            const RECT rect = RectOf(popup);
            const int width = rect.right - rect.left;
            const HDC screen = ::GetDC(nullptr);
            const HDC memory = ::CreateCompatibleDC(screen);
            const HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, kArrowRows);
            const HGDIOBJ previous = ::SelectObject(memory, bitmap);
            ::BitBlt(memory, 0, 0, width, kArrowRows, screen, rect.left, rect.top, SRCCOPY);
            for (int x = 0; x < width; ++x) {
                for (int y = kArrowTop; y < kArrowRows; ++y) {
                    const COLORREF pixel = ::GetPixel(memory, x, y);
                    if (GetRValue(pixel) + GetGValue(pixel) + GetBValue(pixel) < 3 * 160) {
                        if (found.first < 0) found.first = x;
                        found.second = x;
                        break;
                    }
                }
            }
            ::SelectObject(memory, previous);
            ::DeleteObject(bitmap);
            ::DeleteDC(memory);
            ::ReleaseDC(nullptr, screen);
            return found == expected ? popup : nullptr;
        },
        2000);
    return found;
}

// A window of this test that takes the activation away from the launcher.
LRESULT CALLBACK PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcA(window, message, wParam, lParam);
}

class LaunchWindowRoad : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        road::EndSuitePrograms();
        road::LayOutSuite(0, test::Service("https").baseUrl);
        const std::string connection = road::SuiteFolder() + "Connection.info";
        test::WriteWholeFile(connection, test::ReadWholeFile(connection) + "39," + kHomePageUrl + "\r\n41," +
                                             kOnlineHelpUrl + "\r\n");
        road::OfferUpdates(0);
        const std::string witness = test::ChildScenarioCommand("url_witness") + " \"%1\"";
        http_ = new SchemeHandler("http", witness);
        https_ = new SchemeHandler("https", witness);
    }
    static void TearDownTestSuite() {
        road::EndSuitePrograms();
        delete http_;
        delete https_;
        http_ = https_ = nullptr;
        ::DeleteFileA(WitnessFile().c_str());
    }
    void SetUp() override {
        road::EndSuitePrograms();
        ::DeleteFileA(WitnessFile().c_str());
        logStart_ = test::ReadWholeFile(road::LauncherLogPath()).size();
    }
    void TearDown() override { road::EndSuitePrograms(); }

    std::string LauncherLog() const { return test::ReadWholeFile(road::LauncherLogPath()).substr(logStart_); }
    bool LogShows(const std::string& text, DWORD milliseconds) const {
        return road::WaitFor([&]() -> HWND { return LauncherLog().find(text) != std::string::npos ? HWND(1) : nullptr; },
                             milliseconds) != nullptr;
    }

    // Past the notice to the launch window, once centred: it shows itself first and centres after.
    static HWND ShowLaunchWindow(const road::RunningLauncher& launcher) {
        if (!launcher.started() || !road::DismissNotice(launcher, kBound)) return nullptr;
        const HWND window = launcher.WaitForLaunchWindow(kBound);
        if (!window) return nullptr;
        RECT work{};
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        return road::WaitFor(
            [&]() -> HWND {
                const RECT rect = RectOf(window);
                return std::abs((rect.left + rect.right) - (work.left + work.right)) <= 1 &&
                               std::abs((rect.top + rect.bottom) - (work.top + work.bottom)) <= 1
                           ? window
                           : nullptr;
            },
            kBound);
    }

    // Opens the menu and clicks its row `row` (0 ホームページ, 1 オンラインヘルプ, 2 バージョン情報);
    // the submenu of ホームページ opens and its one item (Ravelin) is clicked.
    static bool PickMenuRow(const road::RunningLauncher& launcher, HWND window, int row) {
        road::Click(window, road::SkinItemCentre("LaunchWindow.txt", "MenuButton"));
        const HWND menu = WaitForMenu(launcher.id());
        if (!menu) return false;
        const RECT rect = RectOf(menu);
        const int height = rect.bottom - rect.top;
        InputClick(POINT{(rect.left + rect.right) / 2, rect.top + height * (2 * row + 1) / 6});
        if (row == 0) {
            const HWND submenu = WaitForMenu(launcher.id(), {menu});
            if (!submenu) return false;
            const RECT inner = RectOf(submenu);
            InputClick(POINT{(inner.left + inner.right) / 2, (inner.top + inner.bottom) / 2});
        }
        return road::WaitUntilGone(menu, kBound);
    }

    static SchemeHandler* http_;
    static SchemeHandler* https_;
    size_t logStart_ = 0;
};

SchemeHandler* LaunchWindowRoad::http_ = nullptr;
SchemeHandler* LaunchWindowRoad::https_ = nullptr;

TEST_F(LaunchWindowRoad, HelpPopupsFollowThePointerAndGoWithTheActivation) {
    road::RunningLauncher launcher(road::SuiteLauncherPath());
    const HWND window = ShowLaunchWindow(launcher);
    ASSERT_NE(nullptr, window);
    const RECT frame = RectOf(window);

    // Below the window, the arrow over the update button's column (219..291).
    Hover(window, kUpdateButton);
    const HWND update = WaitForPopup(launcher.id(), {window});
    ASSERT_NE(nullptr, update);
    const RECT popup = RectOf(update);
    EXPECT_EQ(frame.left + 7, popup.left);
    EXPECT_EQ(frame.top + 99, popup.top);
    // The arrow is 15 pixels wide around x 247 of the popup, 7 + 247 = 254 of the window.
    EXPECT_EQ(std::make_pair(240, 254), WaitForArrow(update, {240, 254}));

    // Onto the editor button: its popup replaces the first, the arrow over column 103..175.
    Hover(window, kEditorButton);
    const HWND editor = WaitForPopup(launcher.id(), {window, update});
    ASSERT_NE(nullptr, editor);
    EXPECT_TRUE(road::WaitUntilGone(update, kBound));
    EXPECT_EQ(popup.left, RectOf(editor).left);
    EXPECT_EQ(std::make_pair(125, 139), WaitForArrow(editor, {125, 139}));

    // The background takes it away.
    Hover(window, kBackground);
    EXPECT_TRUE(road::WaitUntilGone(editor, kBound));

    // Another window taking the activation dims the launcher and takes the popup away.
    Hover(window, kUpdateButton);
    const HWND again = WaitForPopup(launcher.id(), {window, update, editor});
    ASSERT_NE(nullptr, again);
    EXPECT_EQ(242, AlphaOf(window));
    const HWND other = test::CreateTestWindow("RavelinRoadOther", PlainProc, "other", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    ASSERT_NE(nullptr, other);
    ::SetForegroundWindow(other);
    EXPECT_NE(nullptr, road::WaitFor([&] { return AlphaOf(window) == 204 ? window : nullptr; }, kBound));
    EXPECT_TRUE(road::WaitUntilGone(again, kBound));
    ::DestroyWindow(other);
}

TEST_F(LaunchWindowRoad, MenuOpensTheWebPagesAndTheVersionWindow) {
    road::RunningLauncher launcher(road::SuiteLauncherPath());
    const HWND window = ShowLaunchWindow(launcher);
    ASSERT_NE(nullptr, window);

    // Through the prefix's URL handler, which notes what it was given.
    ASSERT_TRUE(PickMenuRow(launcher, window, 0));
    EXPECT_NE(nullptr, road::WaitFor([] {
        return test::ReadWholeFile(WitnessFile()) == std::string(kHomePageUrl) + "\n" ? HWND(1) : nullptr;
    }, kBound)) << test::ReadWholeFile(WitnessFile());
    ASSERT_TRUE(PickMenuRow(launcher, window, 1));
    EXPECT_NE(nullptr, road::WaitFor([] {
        return test::ReadWholeFile(WitnessFile()) == std::string(kHomePageUrl) + "\n" + kOnlineHelpUrl + "\n"
                   ? HWND(1) : nullptr;
    }, kBound)) << test::ReadWholeFile(WitnessFile());

    // The launcher's version; a 4-second hold on the hidden spot is a click that closes.
    const std::string launcherVersion = road::ProgramVersion(road::SuiteLauncherPath());
    ASSERT_TRUE(PickMenuRow(launcher, window, 2));
    HWND version = WaitForVersionWindow(launcher.id());
    ASSERT_NE(nullptr, version);
    EXPECT_TRUE(LogShows("CVersionInfoWindow::Create Ver." + launcherVersion.substr(0, launcherVersion.rfind('.')),
                         kBound));
    const LPARAM spot = MAKELPARAM(kHoldSpot.x, kHoldSpot.y);
    Hover(version, kHoldSpot);
    ::PostMessageA(version, WM_LBUTTONDOWN, MK_LBUTTON, spot);
    ::Sleep(4000);
    ::PostMessageA(version, WM_LBUTTONUP, 0, spot);
    EXPECT_TRUE(road::WaitUntilGone(version, kBound));
    EXPECT_EQ(std::string::npos, LauncherLog().find("CVersionInfoWindow::ShowDetails"));

    // Five seconds show the three versions, and that release leaves the window.
    ASSERT_TRUE(PickMenuRow(launcher, window, 2));
    version = WaitForVersionWindow(launcher.id());
    ASSERT_NE(nullptr, version) << LauncherLog();
    Hover(version, kHoldSpot);
    const ULONGLONG pressed = ::GetTickCount64();
    ::PostMessageA(version, WM_LBUTTONDOWN, MK_LBUTTON, spot);
    const std::string details = "CVersionInfoWindow::ShowDetails [" + launcherVersion + "] [" +
                                road::ProgramVersion(road::SuiteFolder() + "Ravelin_UpdateManager.exe") + "] [" +
                                road::ProgramVersion(road::SuiteFolder() + "Ravelin_MSVTitleEditor.exe") + "]";
    EXPECT_TRUE(LogShows(details, 8000)) << LauncherLog();
    EXPECT_GE(::GetTickCount64() - pressed, 4900u);
    ::PostMessageA(version, WM_LBUTTONUP, 0, spot);
    ::Sleep(300);
    EXPECT_TRUE(::IsWindowVisible(version));
    // The next click closes it.
    road::Click(version, POINT{200, 90});
    EXPECT_TRUE(road::WaitUntilGone(version, kBound));
    EXPECT_TRUE(::IsWindowVisible(window));
}

TEST_F(LaunchWindowRoad, ProgramButtonsStartTheSiblingsOrSayTheyCannot) {
    const std::string present = road::SuiteFolder() + "Ravelin_UpdateManager.exe";
    const std::string moved = present + ".away";
    road::RunningLauncher launcher(road::SuiteLauncherPath());
    const HWND window = ShowLaunchWindow(launcher);
    ASSERT_NE(nullptr, window);
    // Gone after the update check, which would otherwise offer it again.
    ASSERT_TRUE(::MoveFileA(present.c_str(), moved.c_str()));
    struct PutBack {
        std::string from, to;
        ~PutBack() { ::MoveFileA(from.c_str(), to.c_str()); }
    } putBack{moved, present};

    // The update manager is missing: the start-failure box.
    road::Click(window, kUpdateButton);
    const HWND box = launcher.WaitForMessageBox(kBound);
    ASSERT_NE(nullptr, box);
    EXPECT_TRUE(LogShows("CSkinMessageBox::DoModal アプリケーションを起動できませんでした。", kBound))
        << LauncherLog();
    road::PressOk(box);
    EXPECT_TRUE(road::WaitUntilGone(box, kBound));

    // The title editor is there: started with "Launcher".
    road::Click(window, kEditorButton);
    // The sibling's window holds its command line in a hidden child, made just after the window.
    const HWND line = road::WaitFor(
        [] {
            const HWND sibling = ::FindWindowW(L"RavelinDemoSibling", nullptr);
            return sibling ? ::FindWindowExW(sibling, nullptr, L"Static", nullptr) : nullptr;
        },
        kBound);
    ASSERT_NE(nullptr, line);
    wchar_t text[1024] = {};
    ::GetWindowTextW(line, text, 1024);
    std::wstring commandLine = text;
    const size_t programEnd = commandLine[0] == L'"' ? commandLine.find(L'"', 1) + 1 : commandLine.find(L' ');
    const std::wstring program = commandLine.substr(0, programEnd);
    std::wstring parameters = commandLine.substr(programEnd);
    parameters.erase(0, parameters.find_first_not_of(L' '));
    EXPECT_NE(std::wstring::npos, program.find(L"\\Ravelin_MSVTitleEditor.exe"));
    EXPECT_EQ(L"Launcher", parameters);
    EXPECT_EQ(nullptr, launcher.MessageBoxWindow());
}

TEST_F(LaunchWindowRoad, ASecondLauncherLeavesTheFirstAlone) {
    road::RunningLauncher first(road::SuiteLauncherPath());
    const HWND window = ShowLaunchWindow(first);
    ASSERT_NE(nullptr, window);
    const std::vector<HWND> windows = road::VisibleWindowsOf(first.id());
    const size_t logBefore = test::ReadWholeFile(road::LauncherLogPath()).size();

    road::RunningLauncher second(road::SuiteLauncherPath());
    ASSERT_TRUE(second.started());
    DWORD exitCode = 0;
    ASSERT_TRUE(second.Wait(kBound, &exitCode));
    EXPECT_EQ(0xFFFFFFFFu, exitCode);

    EXPECT_TRUE(first.Running());
    EXPECT_EQ(windows, road::VisibleWindowsOf(first.id()));
    EXPECT_EQ(logBefore, test::ReadWholeFile(road::LauncherLogPath()).size());
    EXPECT_EQ(std::string::npos, LauncherLog().find("開始", LauncherLog().find("開始") + 1));
}

}  // namespace
