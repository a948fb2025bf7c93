// The update road end to end: the real launcher in the installed demo suite,
// the real updater and packages, the stand-in service; driven by clicks.
#include <gtest/gtest.h>
#include <windows.h>
#include <msi.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/demo/DemoSuite.h"
#include "tests/demo/LauncherDriver.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/UpdateService.h"

namespace {

using Strings = std::vector<std::string>;

constexpr DWORD kBound = 20000;
// A download and a Windows Installer run under Wine.
constexpr DWORD kInstallBound = 60000;
// The setup waits for the launcher to be gone before it replaces it.
constexpr DWORD kSetupBound = 30000;
// How long a box that should not come is given to come.
constexpr DWORD kNoBoxGrace = 1500;

constexpr char kActionRecord[] = "CSilentInstallWindow action ";
constexpr char kBoxRecord[] = "CSkinMessageBox::DoModal ";
constexpr char kInstallRecord[] = "OnCopyData  APLType:";
constexpr char kCancelRecord[] = "OnCopyData  MSG_REQUEST_CANCELINSTALL";

template <typename Condition>
bool Eventually(Condition condition, DWORD milliseconds) {
    const ULONGLONG end = ::GetTickCount64() + milliseconds;
    while (!condition()) {
        if (::GetTickCount64() >= end) return false;
        ::Sleep(50);
    }
    return true;
}

int Count(const std::string& text, const std::string& part) {
    int count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++count;
    return count;
}

// The rest of each line after `marker`, for the lines that have it.
Strings After(const std::string& text, const std::string& marker) {
    Strings found;
    for (size_t at = text.find(marker); at != std::string::npos; at = text.find(marker, at)) {
        at += marker.size();
        const size_t end = text.find_first_of("\r\n", at);
        found.push_back(text.substr(at, end - at));
    }
    return found;
}

bool StartsWith(const std::string& text, const std::string& start) { return text.compare(0, start.size(), start) == 0; }
bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

size_t FileSize(const std::string& path) { return test::FileExists(path) ? test::ReadWholeFile(path).size() : 0; }

POINT ActionButton() { return road::SkinItemCentre("SilentInstallWindow.txt", "CancelButton"); }

// Presses OK (0) or Cancel (1) of an OK/Cancel box.
void PressInQuestion(HWND box, std::size_t button) {
    road::Click(box, road::MessageBoxButtonCentre(box, "MessageBoxWindow.txt", {"OkButton", "CancelButton"}, button));
}

std::string NewPackage(int number) { return road::DemoValue("DEMO_PACKAGE_" + std::to_string(number) + "_V2"); }

std::string SlowFault(const std::string& package, int chunk, double interval) {
    return "{\"/" + package + "\": {\"kind\": \"slow\", \"chunk\": " + std::to_string(chunk) +
           ", \"interval\": " + std::to_string(interval) + "}}";
}

class Road : public ::testing::Test {
protected:
    void SetUp() override {
        road::EndSuitePrograms();
        road::LayOutSuite(0, test::Service("https").baseUrl);
        MarkLogs();
    }
    void TearDown() override { road::EndSuitePrograms(); }

    // Later reads see only what is logged and requested from here on.
    void MarkLogs() {
        test::ClearServiceRequests(test::Service("https"));
        launcherLogStart_ = FileSize(road::LauncherLogPath());
        updaterLogStart_ = FileSize(road::UpdaterLogPath());
    }
    std::string LauncherLog() const { return Since(road::LauncherLogPath(), launcherLogStart_); }
    std::string UpdaterLog() const { return Since(road::UpdaterLogPath(), updaterLogStart_); }
    // The action button's texts in turn, and what boxes said.
    Strings Actions() const { return After(LauncherLog(), kActionRecord); }
    Strings Boxes() const {
        Strings shown;
        for (const std::string& line : After(LauncherLog(), kBoxRecord))
            if (!StartsWith(line, "answer ")) shown.push_back(line);
        return shown;
    }
    bool WaitForAction(const std::string& text, DWORD milliseconds) const {
        return Eventually([&] { return LauncherLog().find(kActionRecord + text) != std::string::npos; },
                          milliseconds);
    }
    bool WaitForUpdater(const std::string& text, DWORD milliseconds) const {
        return Eventually([&] { return UpdaterLog().find(text) != std::string::npos; }, milliseconds);
    }
    // Paths the service was asked to GET, in order.
    static Strings Downloads() {
        Strings paths;
        for (const std::string& request : test::ServiceRequests(test::Service("https"))) {
            if (request.find("\"method\": \"GET\"") == std::string::npos) continue;
            const Strings path = After(request, "\"path\": \"");
            if (!path.empty()) paths.push_back(path.front().substr(0, path.front().find('"')));
        }
        return paths;
    }

    // Starts the launcher, dismisses the notice and presses 開始 once the
    // silent-install window shows; null when it does not.
    static HWND PressStart(road::RunningLauncher& launcher) {
        if (!launcher.started() || !road::DismissNotice(launcher, kBound)) return nullptr;
        const HWND window = launcher.WaitForSilentInstallWindow(kBound);
        if (window) road::Click(window, ActionButton());
        return window;
    }
    // The updater announced itself and the window took it: キャンセル came
    // first. The updater logs its announcement just after posting it.
    void ExpectVersionUpStarted() const {
        EXPECT_TRUE(WaitForUpdater("Start version up", kBound));
        EXPECT_EQ(1, Count(UpdaterLog(), "Start version up"));
        const Strings actions = Actions();
        ASSERT_FALSE(actions.empty());
        EXPECT_EQ("キャンセル", actions.front());
    }
    static void CloseAndExpectEnd(road::RunningLauncher& launcher, HWND window) {
        ::PostMessageA(window, WM_CLOSE, 0, 0);
        DWORD exitCode = 1;
        ASSERT_TRUE(launcher.Wait(kBound, &exitCode));
        EXPECT_EQ(0u, exitCode);
    }

private:
    static std::string Since(const std::string& path, size_t start) {
        const std::string text = test::FileExists(path) ? test::ReadWholeFile(path) : std::string();
        return start <= text.size() ? text.substr(start) : text;
    }

    size_t launcherLogStart_ = 0;
    size_t updaterLogStart_ = 0;
};

TEST_F(Road, NothingToUpdateShowsTheLaunchWindowCentredAfterTheNotice) {
    road::OfferUpdates(0);
    road::RunningLauncher launcher(road::SuiteLauncherPath());
    ASSERT_TRUE(launcher.started());

    // The notice comes first, while no launcher window shows.
    const HWND notice = launcher.WaitForMessageBox(kBound);
    ASSERT_NE(nullptr, notice);
    EXPECT_EQ(nullptr, launcher.LaunchWindow());
    EXPECT_EQ(nullptr, launcher.SilentInstallWindow());
    ASSERT_TRUE(road::DismissNotice(launcher, kBound));

    const HWND window = launcher.WaitForLaunchWindow(kBound);
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(nullptr, launcher.SilentInstallWindow());
    RECT rect{}, work{};
    ::GetWindowRect(window, &rect);
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_LE(std::abs((rect.left + rect.right) - (work.left + work.right)), 1);
    EXPECT_LE(std::abs((rect.top + rect.bottom) - (work.top + work.bottom)), 1);
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(::GetLayeredWindowAttributes(window, nullptr, &alpha, &flags));
    EXPECT_EQ(242, alpha);

    EXPECT_NE(std::string::npos, LauncherLog().find("CSkinMessageBox::DoModal ＜重要なお知らせ＞"));
    CloseAndExpectEnd(launcher, window);
}

TEST_F(Road, UpdateManagerAloneIsDownloadedAndInstalledOnceThenDone) {
    road::OfferUpdates(road::kUpdateManagerFlag);
    road::RunningLauncher launcher(road::SuiteLauncherPath());
    const HWND window = PressStart(launcher);
    ASSERT_NE(nullptr, window);

    // 完了 shows once the updater has reported the install's end.
    ASSERT_TRUE(WaitForAction("完了", kInstallBound));
    ExpectVersionUpStarted();
    EXPECT_EQ((Strings{"キャンセル", "完了"}), Actions());
    EXPECT_EQ(Strings{"/" + NewPackage(2)}, Downloads());
    const std::string updaterLog = UpdaterLog();
    EXPECT_EQ(1, Count(updaterLog, kInstallRecord));
    EXPECT_EQ(1, Count(updaterLog, "OnCopyData  APLType:2  InstallType:2  PathPackage:"));
    EXPECT_EQ(INSTALLSTATE_DEFAULT, road::ProductState(road::kUpdateManagerFlag));
    EXPECT_EQ(road::DemoValue("DEMO_NEW_VERSION"),
              road::ProgramVersion(road::SuiteFolder() + road::DemoValue("DEMO_PROGRAM_2")));

    road::Click(window, ActionButton());  // 完了
    const HWND launch = launcher.WaitForLaunchWindow(kBound);
    ASSERT_NE(nullptr, launch);
    EXPECT_TRUE(road::WaitUntilGone(window, kBound));
    EXPECT_EQ(nullptr, launcher.MessageBoxWindow());
    CloseAndExpectEnd(launcher, launch);
}

TEST_F(Road, LauncherUpdateHandsItsSetupOverAndTheNextStartFindsNothing) {
    const int offered = road::kLauncherFlag | road::kUpdateManagerFlag;
    road::OfferUpdates(offered);
    const std::string newLauncher = road::DemoValue("DEMO_LAUNCHER_NEW_VERSION");
    ASSERT_NE(newLauncher, road::ProgramVersion(road::SuiteLauncherPath()));
    road::RunningLauncher launcher(road::SuiteLauncherPath());
    const HWND window = PressStart(launcher);
    ASSERT_NE(nullptr, window);

    // The update manager is installed; the launcher's own package waits for 次へ.
    ASSERT_TRUE(WaitForAction("次へ＞＞", kInstallBound));
    ExpectVersionUpStarted();
    Strings downloads = Downloads();
    std::sort(downloads.begin(), downloads.end());
    EXPECT_EQ((Strings{"/" + road::DemoValue("DEMO_SETUP"), "/" + NewPackage(2)}), downloads);
    EXPECT_EQ(1, Count(UpdaterLog(), kInstallRecord));
    EXPECT_EQ(1, Count(UpdaterLog(), "OnCopyData  APLType:2  InstallType:2  PathPackage:"));
    EXPECT_EQ(INSTALLSTATE_DEFAULT, road::ProductState(road::kUpdateManagerFlag));

    road::Click(window, ActionButton());  // 次へ＞＞
    DWORD exitCode = 1;
    ASSERT_TRUE(launcher.Wait(kBound, &exitCode));
    EXPECT_EQ(0u, exitCode);
    EXPECT_EQ(1, Count(UpdaterLog(), "OnCopyData  APLType:1  InstallType:2  PathPackage:"));

    const std::string setupLog = road::DownloadFolder() + "Ravelin_LauncherSetup.log";
    const auto setupExits = [&] {
        return FileSize(setupLog) ? After(test::ReadWholeFile(setupLog), "\texit ") : Strings{};
    };
    ASSERT_TRUE(Eventually([&] { return !setupExits().empty(); }, kSetupBound));
    EXPECT_EQ(Strings{"0"}, setupExits());
    EXPECT_EQ(newLauncher, road::ProgramVersion(road::SuiteLauncherPath()));

    // The same offer again: everything is at the offered version now.
    MarkLogs();
    road::RunningLauncher next(road::SuiteLauncherPath());
    ASSERT_TRUE(road::DismissNotice(next, kBound));
    const HWND launch = next.WaitForLaunchWindow(kBound);
    ASSERT_NE(nullptr, launch);
    EXPECT_EQ(nullptr, next.SilentInstallWindow());
    EXPECT_TRUE(Downloads().empty());
    CloseAndExpectEnd(next, launch);
}

TEST_F(Road, CheckFailuresShowTheirMessageOverTheLaunchWindow) {
    // Runs the launcher past the notice; returns what the one box after it
    // said ("" when none came), having checked its owner and answered it.
    const auto run = [&](bool boxExpected) -> std::string {
        MarkLogs();
        road::RunningLauncher launcher(road::SuiteLauncherPath());
        if (!launcher.started() || !road::DismissNotice(launcher, kBound)) return "no notice";
        HWND owner = nullptr;
        if (boxExpected) {
            const HWND box = launcher.WaitForMessageBox(kBound);
            if (!box) return "no box";
            owner = ::GetWindow(box, GW_OWNER);
            road::PressOk(box);
            EXPECT_TRUE(road::WaitUntilGone(box, kBound));
        }
        const HWND launch = launcher.WaitForLaunchWindow(kBound);
        if (!launch) return "no launch window";
        if (boxExpected) {
            EXPECT_EQ(launch, owner);
        } else {
            ::Sleep(kNoBoxGrace);
            EXPECT_EQ(nullptr, launcher.MessageBoxWindow());
        }
        EXPECT_EQ(nullptr, launcher.SilentInstallWindow());
        CloseAndExpectEnd(launcher, launch);
        const Strings boxes = Boxes();
        EXPECT_EQ(boxExpected ? 2u : 1u, boxes.size());
        return boxes.size() == 2 ? boxes[1] : "";
    };

    road::AnswerRaw("RET=5");
    const std::string maintenance = run(true);
    EXPECT_TRUE(StartsWith(maintenance, "Ravelinの更新確認ができませんでした。")) << maintenance;
    EXPECT_NE(std::string::npos, maintenance.find("サーバーのメンテナンス中です。")) << maintenance;
    EXPECT_TRUE(EndsWith(maintenance, "(メッセージコード：04200005)")) << maintenance;

    road::AnswerRaw("RET=7");
    EXPECT_EQ("", run(false));

    // Nothing listens on port 1; the untrusted instance's certificate is self-signed.
    for (const std::string& base : Strings{"https://127.0.0.1:1", test::Service("untrusted").baseUrl}) {
        road::PointConnectionAt(base);
        const std::string connection = run(true);
        EXPECT_TRUE(StartsWith(connection, "インターネットに接続できませんでした。")) << base << ": " << connection;
        EXPECT_NE(std::string::npos, connection.find("(メッセージコード：041")) << base << ": " << connection;
    }
}

TEST_F(Road, PackageNotFoundShowsTheFailureAndEndsTheLauncher) {
    road::OfferUpdates(road::kUpdateManagerFlag,
                       "{\"/" + NewPackage(2) + "\": {\"kind\": \"status\", \"status\": 404}}");
    road::RunningLauncher launcher(road::SuiteLauncherPath());
    const HWND window = PressStart(launcher);
    ASSERT_NE(nullptr, window);

    const HWND box = launcher.WaitForMessageBox(kBound);
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(window, ::GetWindow(box, GW_OWNER));
    ExpectVersionUpStarted();
    const Strings boxes = Boxes();
    ASSERT_EQ(2u, boxes.size());
    EXPECT_TRUE(StartsWith(boxes[1], "インストールができませんでした。")) << boxes[1];
    EXPECT_TRUE(launcher.Running());
    road::PressOk(box);
    DWORD exitCode = 1;
    ASSERT_TRUE(launcher.Wait(kBound, &exitCode));
    EXPECT_EQ(0u, exitCode);
    EXPECT_EQ(0, Count(UpdaterLog(), kInstallRecord));
}

TEST_F(Road, CancelAndCloseEndTheLauncherByTheWindowsRules) {
    const std::string question = "バージョンアップが完了するまではRavelinをお使いになれません。";
    DWORD exitCode = 1;
    {
        // Closed while 開始 shows: nothing is started and the launcher ends.
        road::OfferUpdates(road::kUpdateManagerFlag);
        road::RunningLauncher launcher(road::SuiteLauncherPath());
        ASSERT_TRUE(road::DismissNotice(launcher, kBound));
        const HWND window = launcher.WaitForSilentInstallWindow(kBound);
        ASSERT_NE(nullptr, window);
        road::Click(window, road::SkinItemCentre("SilentInstallWindow.txt", "CloseButton"));
        ASSERT_TRUE(launcher.Wait(kBound, &exitCode));
        EXPECT_EQ(0u, exitCode);
        EXPECT_TRUE(Actions().empty());
        EXPECT_TRUE(Downloads().empty());
        EXPECT_EQ("", UpdaterLog());
    }
    {
        // During a download that takes half a minute: Cancel goes on, OK ends without asking the updater.
        MarkLogs();
        road::OfferUpdates(road::kUpdateManagerFlag, SlowFault(NewPackage(2), 4096, 0.5));
        road::RunningLauncher launcher(road::SuiteLauncherPath());
        const HWND window = PressStart(launcher);
        ASSERT_NE(nullptr, window);
        ASSERT_TRUE(WaitForAction("キャンセル", kBound));
        ASSERT_TRUE(Eventually([] { return !Downloads().empty(); }, kBound));
        ExpectVersionUpStarted();

        road::Click(window, ActionButton());
        HWND box = launcher.WaitForMessageBox(kBound);
        ASSERT_NE(nullptr, box);
        EXPECT_EQ(window, ::GetWindow(box, GW_OWNER));
        ASSERT_FALSE(Boxes().empty());
        EXPECT_TRUE(StartsWith(Boxes().back(), question)) << Boxes().back();
        PressInQuestion(box, 1);
        ASSERT_TRUE(road::WaitUntilGone(box, kBound));
        EXPECT_FALSE(launcher.Wait(0, &exitCode));
        EXPECT_EQ(window, launcher.SilentInstallWindow());

        road::Click(window, ActionButton());
        box = launcher.WaitForMessageBox(kBound);
        ASSERT_NE(nullptr, box);
        PressInQuestion(box, 0);
        ASSERT_TRUE(launcher.Wait(kBound, &exitCode));
        EXPECT_EQ(0u, exitCode);
        const Strings answers = After(LauncherLog(), kBoxRecord + std::string("answer "));
        ASSERT_LE(2u, answers.size());
        EXPECT_EQ((Strings{std::to_string(IDCANCEL), std::to_string(IDOK)}), Strings(answers.end() - 2, answers.end()));
        EXPECT_EQ(0, Count(UpdaterLog(), kInstallRecord));
        EXPECT_EQ(0, Count(UpdaterLog(), kCancelRecord));
    }
    {
        // The question stays open while the download ends and the install
        // request goes out; OK then cancels that install.
        road::EndSuitePrograms();
        MarkLogs();
        road::OfferUpdates(road::kUpdateManagerFlag, SlowFault(NewPackage(2), 32768, 0.3));
        road::RunningLauncher launcher(road::SuiteLauncherPath());
        const HWND window = PressStart(launcher);
        ASSERT_NE(nullptr, window);
        ASSERT_TRUE(WaitForAction("キャンセル", kBound));
        ExpectVersionUpStarted();
        road::Click(window, ActionButton());
        const HWND box = launcher.WaitForMessageBox(kBound);
        ASSERT_NE(nullptr, box);
        ASSERT_TRUE(WaitForUpdater("OnCopyData  APLType:2  InstallType:2", kInstallBound));
        EXPECT_TRUE(::IsWindowVisible(box));
        EXPECT_EQ(0, Count(UpdaterLog(), kCancelRecord));
        PressInQuestion(box, 0);
        ASSERT_TRUE(WaitForUpdater(kCancelRecord, kBound));
        ASSERT_TRUE(launcher.Wait(kBound, &exitCode));
        EXPECT_EQ(0u, exitCode);
    }
}

}  // namespace
