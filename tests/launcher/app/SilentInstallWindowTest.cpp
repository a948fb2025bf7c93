// The silent-install window end to end: the update check against the
// stand-in service, installed programs of known versions, real downloads into
// a Shift-JIS folder, the updater as a stand-in window and real skinned boxes.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "launcher/app/SilentInstallWindow.h"
#include "launcher/update/ComponentVersions.h"
#include "launcher/update/NetworkState.h"
#include "tests/launcher/app/SilentInstallTestSupport.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/UpdateService.h"
#include "tests/ui/SkinWindowTestSupport.h"
#include "ui/MessageBoxWindow.h"
#include "ui/SkinWindowItemButton.h"
#include "ui/SkinWindowItemStatic.h"

namespace {

using Window = ui::CSilentInstallWindow;
using Requests = std::vector<std::pair<int, int>>;  // APLType, InstallType
using Log = std::vector<std::string>;
using Boxes = std::vector<std::pair<std::string, UINT>>;  // text, type

constexpr char kFound[] =
    "新しいバージョンのRavelinが見つかりました。\r\n［開始］を押してバージョンアップをおこなってください。";
constexpr char kDownloading[] = "新しいバージョンのRavelinをダウンロードしています。\r\nしばらくお待ちください...";
constexpr char kLauncherRemains[] = "「次へ」を押してバージョンアップを完了してください。";
constexpr char kCompleted[] = "Ravelinのバージョンアップが正常に完了しました。";
constexpr char kDownloadFailed[] =
    "インストールができませんでした。\r\n再度バージョンアップを行うために、Ravelinを再起動してください。";
constexpr char kCancelQuestion[] =
    "バージョンアップが完了するまではRavelinをお使いになれません。\r\nバージョンアップを中止してよろしいですか？";

bool networkUp = true;
bool NetworkCheck() { return networkUp; }

UINT Registered(const char* name) { return ::RegisterWindowMessageA(name); }

class SilentInstall : public testing::Test {
protected:
    void SetUp() override {
        skintest::EnsureFramework();
        previousCheck_ = update::ReplaceNetworkCheck(&NetworkCheck);
        Fresh();
    }
    void TearDown() override {
        window_.reset();
        update::ReplaceNetworkCheck(previousCheck_);
    }

    // Everything anew for the next case of a table.
    void Fresh() {
        window_.reset();
        updater_ = std::make_unique<silenttest::UpdaterStandIn>();
        owner_ = std::make_unique<silenttest::OwnerStandIn>();
        boxes_.clear();
        boxButton_ = ui::CSkinMessageBox::kOkButton;
        networkUp = true;
        test::ClearServiceRequests(http());
    }

    static const test::ServiceInstance& http() { return test::Service("http"); }
    std::string downloads() const { return scratch_.path() + "ソフト表示\\Download\\"; }

    // Components 1-3 installed as `installed` says ('o' 1.1.9.9, 'n' 1.2.0.0,
    // '-' missing); the service offers 1.2.0 of each as a package of `size`
    // bytes, served with `faults`.
    void Offer(const char* installed, std::size_t size = 30000, const std::string& faults = "{}") {
        const std::string programs = scratch_.path() + "programs\\";
        ::CreateDirectoryA(programs.c_str(), nullptr);
        for (int i = 0; i < 3; ++i) {
            const std::string target = programs + update::kComponentTable[i].programFile;
            ::DeleteFileA(target.c_str());
            if (installed[i] != '-')
                ::CopyFileA(test::BesideSelf(installed[i] == 'o' ? "versioned_1_1_9_9.exe" : "versioned_1_2_0_0.exe").c_str(),
                            target.c_str(), FALSE);
            test::WriteWholeFile(test::ServiceFilesFolder() + "si_" + std::to_string(i + 1) + ".msi",
                                 std::string(size, static_cast<char>('1' + i)));
        }
        test::SetServiceConfig(http(), R"({"reply": {"RET": 0, "DLVER": "1.2.0", "DLURL": "{base}/si_1.msi",)"
                                       R"( "UMVER": "1.2.0", "UMURL": "{base}/si_2.msi", "MEVER": "1.2.0",)"
                                       R"( "MEURL": "{base}/si_3.msi"}, "faults": )" + faults + "}");
    }

    // Makes the window and runs its update check.
    Window& Open() {
        ui::SilentInstallEnvironment environment;
        environment.startUpdater = [this] {
            if (startUpdater_) {
                startUpdater_();
            } else {
                updater_->Launch(window_->GetHandle(), 2);
            }
        };
        environment.showMessage = [this](HWND owner, const std::string& text, UINT type) {
            boxes_.push_back({text, type});
            return silenttest::AnswerBox(owner, text, type, boxButton_);
        };
        environment.makeUpdateControl = [this] {
            auto control = std::make_unique<CDownLoadCtrl>(downloads());
            control->SetServiceUrl(http().baseUrl + "/pcapp/GetLatestPCAplCommonAPI");
            control->SetProgramFolder(scratch_.path() + "programs\\");
            return control;
        };
        window_ = std::make_unique<Window>(owner_->window(), environment);
        EXPECT_TRUE(window_->Create());
        hwnd_ = window_->GetHandle();
        Pump([&] { return ::IsWindowVisible(hwnd_) || !::IsWindow(hwnd_); });
        return *window_;
    }

    bool Pump(const std::function<bool()>& done, DWORD milliseconds = 15000) {
        return skintest::PumpUntil(done, milliseconds);
    }
    void Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) { ::PostMessageA(hwnd_, message, wParam, lParam); }
    // The action button's click.
    void Act() { Post(WM_COMMAND, MAKEWPARAM(Window::kCancelButton, 1)); }
    bool Destroyed() const { return !::IsWindow(hwnd_); }
    std::size_t RequestCount() const { return updater_->requests.size(); }
    std::string Text(int id) const { return static_cast<ui::CSkinWindowItemStatic*>(window_->FindItem(id))->GetText(); }
    std::string ActionText() const {
        return static_cast<ui::CSkinWindowItemButton*>(window_->FindItem(Window::kCancelButton))->GetText();
    }
    Requests InstallRequests() const {
        Requests requests;
        for (const auto& request : updater_->requests) {
            if (request.kind == COPYDATAINSTALL) requests.emplace_back(request.record.APLType, request.record.InstallType);
        }
        return requests;
    }
    // The packages fetched, in order.
    std::vector<std::string> Fetched() const {
        std::vector<std::string> paths;
        for (const std::string& line : test::ServiceRequests(http())) {
            const std::size_t at = line.find(R"("path": "/si_)");
            if (line.find(R"("method": "GET")") != std::string::npos && at != std::string::npos)
                paths.push_back(line.substr(at + 10, 8));
        }
        return paths;
    }

    test::ScratchFolder scratch_;
    std::unique_ptr<silenttest::UpdaterStandIn> updater_;
    std::unique_ptr<silenttest::OwnerStandIn> owner_;
    std::unique_ptr<Window> window_;
    HWND hwnd_ = nullptr;
    Boxes boxes_;
    int boxButton_ = ui::CSkinMessageBox::kOkButton;
    std::function<void()> startUpdater_;
    update::NetworkCheckFunction previousCheck_ = nullptr;
};

}  // namespace

TEST_F(SilentInstall, CheckWithNothingToInstallOrAFailureClosesAtOnce) {
    const struct {
        const char* config;
        Log owner;
    } cases[] = {
        {R"({"reply": {"RET": 0, "DLVER": "1.2.0", "UMVER": "1.2.0", "MEVER": "1.2.0"}})", {"finish", "close 4"}},
        {R"({"raw_reply": "RET=5"})", {"error 04200005", "finish", "close 4"}},
        {R"({"faults": {"/pcapp/GetLatestPCAplCommonAPI": {"kind": "status", "status": 404}}})",
         {"error 04100194", "finish", "close 4"}},
    };
    for (const auto& check : cases) {
        SCOPED_TRACE(check.config);
        Fresh();
        Offer("nnn");
        test::SetServiceConfig(http(), check.config);
        Open();
        EXPECT_TRUE(Pump([&] { return Destroyed(); }));
        EXPECT_EQ(check.owner, owner_->log);
    }
}

TEST_F(SilentInstall, FoundUpdateShowsTheStartButton) {
    Offer("non");
    Window& window = Open();
    ASSERT_TRUE(::IsWindowVisible(hwnd_));
    char title[64] = "";
    ::GetWindowTextA(hwnd_, title, sizeof title);
    EXPECT_STREQ("Ravelin_Launcher", title);
    EXPECT_EQ(static_cast<LONG>(WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX),
              ::GetWindowLongA(hwnd_, GWL_STYLE) & ~WS_VISIBLE & ~WS_CLIPSIBLINGS);
    EXPECT_EQ(480, window.GetClientRect().right);
    EXPECT_EQ(198, window.GetClientRect().bottom);
    EXPECT_EQ(0x0002, window.GetComponentFlags());
    EXPECT_EQ(Window::kStateStart, window.GetActionState());
    EXPECT_EQ((Log{"開始", "0%", kFound}), (Log{ActionText(), Text(Window::kTimeText), Text(Window::kMessageText)}));
    // The message is centred in (22, 59)-(458, 121).
    const RECT message = window.FindItem(Window::kMessageText)->GetRect();
    EXPECT_NEAR(message.left - 22, 458 - message.right, 1);
    EXPECT_NEAR(message.top - 59, 121 - message.bottom, 1);
    EXPECT_TRUE(owner_->log.empty());
}

TEST_F(SilentInstall, UpdatesGoComponentByComponentToTheirEnd) {
    const struct {
        const char* installed;
        int flags;
        std::vector<std::string> fetched;
        Requests requests;
        int state;  // kStateCancel: the launcher was handed over without a click
        const char* message;
        Requests afterClick;
        Log owner;
    } flows[] = {
        {"non", 0x0002, {"si_2.msi"}, {{2, 2}}, Window::kStateDone, kCompleted, {},
         {"finish", "close 4", "finish", "close 4"}},
        {"oon", 0x0003, {"si_2.msi", "si_1.msi"}, {{2, 2}}, Window::kStateNext, kLauncherRemains, {{1, 2}}, {"close 8"}},
        {"onn", 0x0001, {"si_1.msi"}, {{1, 2}}, Window::kStateCancel, nullptr, {}, {"close 8"}},
        {"---", 0x7007, {"si_3.msi", "si_2.msi", "si_1.msi"}, {{3, 1}, {2, 1}}, Window::kStateNext, kLauncherRemains,
         {{1, 1}}, {"close 8"}},
    };
    for (const auto& flow : flows) {
        SCOPED_TRACE(flow.installed);
        Fresh();
        Offer(flow.installed);
        Window& window = Open();
        ASSERT_EQ(flow.flags, window.GetComponentFlags());
        Act();
        ASSERT_TRUE(Pump([&] {
            return InstallRequests().size() == flow.requests.size() &&
                   (window.GetActionState() == flow.state || !owner_->log.empty());
        }));
        // Two announcements start one update.
        EXPECT_EQ(flow.fetched, Fetched());
        EXPECT_EQ(flow.requests, InstallRequests());
        for (const auto& request : updater_->requests) {
            const InstallRequestRecord& record = request.record;
            const std::string package = downloads() + "si_" + std::to_string(record.APLType) + ".msi";
            EXPECT_EQ(sizeof(InstallRequestRecord), request.size);
            EXPECT_EQ(RecordWindowValue(hwnd_), record.NotifyWindow);
            EXPECT_EQ(Registered("InstallNotifyProgress"), record.NotifyMessage);
            EXPECT_EQ(package, record.PathPackage);
            EXPECT_EQ(30000, request.fileSize) << "handed over before it was complete on disk";
            for (std::size_t at = package.size(); at < sizeof record.PathPackage; ++at)
                EXPECT_EQ(0, record.PathPackage[at]);
        }
        if (flow.message) {
            EXPECT_EQ(flow.message, Text(Window::kMessageText));
            EXPECT_EQ(100, window.GetShownPercent());
            EXPECT_EQ(flow.state == Window::kStateDone ? "完了" : "次へ＞＞", ActionText());
            Act();
            EXPECT_TRUE(Pump([&] { return owner_->log.size() >= flow.owner.size(); }));
        }
        Requests all = InstallRequests();
        all.erase(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(flow.requests.size()));
        EXPECT_EQ(flow.afterClick, all);
        skintest::PumpUntil([] { return false; }, 100);
        EXPECT_EQ(flow.owner, owner_->log);
        EXPECT_TRUE(boxes_.empty());
    }
}

TEST_F(SilentInstall, PackageIsHandedOverOnlyOnceCompleteOnDisk) {
    Offer("non", 60000, R"({"/si_2.msi": {"kind": "slow", "chunk": 10000, "interval": 0.2}})");
    Window& window = Open();
    Act();
    ASSERT_TRUE(Pump([&] { return window.GetReportedBytes(2) > 0; }));
    // Every byte reported while the package is not yet on disk.
    ::SendMessageA(hwnd_, Registered("UpdateProgress"), 60000, static_cast<LPARAM>(60000 - window.GetReportedBytes(2)));
    EXPECT_EQ(60000, window.GetReportedBytes(2));
    EXPECT_EQ(100, window.GetShownPercent());
    EXPECT_EQ(0u, RequestCount());
    EXPECT_EQ(kDownloading, Text(Window::kMessageText));

    ASSERT_TRUE(Pump([&] { return RequestCount() == 1; }));
    EXPECT_EQ(60000, updater_->requests[0].fileSize);
}

TEST_F(SilentInstall, RequestWaitsForAnUpdaterWindowThatComesLate) {
    Offer("non");
    bool announced = false;
    startUpdater_ = [&] {
        updater_->Announce(hwnd_, 1);
        announced = true;
    };
    Window& window = Open();
    Act();
    ASSERT_TRUE(Pump([&] { return announced && window.GetProgress().AllDownloaded(); }));
    skintest::PumpUntil([] { return false; }, 300);
    updater_->OpenWindow();
    ASSERT_TRUE(Pump([&] { return window.GetActionState() == Window::kStateDone; }));
    EXPECT_EQ((Requests{{2, 2}}), InstallRequests());
}

TEST_F(SilentInstall, CancelAndCloseRules) {
    enum Stage { kShown, kDownloading, kInstalling, kDone };
    enum Trigger { kCloseButton, kAction, kWmClose };
    const struct {
        Stage stage;
        Trigger trigger;
        int boxButton;
        Log owner;
        bool closes;
        int cancelled;  // APLType of the cancel request; 0: none
    } cases[] = {
        {kShown, kCloseButton, 0, {"close 8", "close 8"}, true, 0},
        {kShown, kWmClose, 0, {"close 8"}, true, 0},
        {kDownloading, kAction, ui::CSkinMessageBox::kCancelButton, {}, false, 0},
        {kDownloading, kAction, ui::CSkinMessageBox::kOkButton, {"close 8", "close 8"}, true, 0},
        {kInstalling, kAction, ui::CSkinMessageBox::kOkButton, {"close 8", "close 8"}, true, 2},
        {kInstalling, kCloseButton, 0, {"close 8", "close 8"}, true, 0},
        {kDone, kAction, 0, {"finish", "close 4", "finish", "close 4"}, true, 0},
        {kDone, kWmClose, 0, {"finish", "close 4"}, true, 0},
    };
    for (const auto& rule : cases) {
        SCOPED_TRACE(testing::Message() << "stage " << rule.stage << ", trigger " << rule.trigger);
        Fresh();
        updater_->finishInstalls = rule.stage != kInstalling;
        Offer("non", rule.stage == kDownloading ? 100000 : 30000,
              rule.stage == kDownloading ? R"({"/si_2.msi": {"kind": "slow", "chunk": 1000, "interval": 0.05}})" : "{}");
        Window& window = Open();
        if (rule.stage != kShown) Act();
        ASSERT_TRUE(Pump([&] {
            switch (rule.stage) {
            case kDownloading: return window.GetReportedBytes(2) > 0;
            case kInstalling: return RequestCount() == 1;
            case kDone: return window.GetActionState() == Window::kStateDone;
            default: return true;
            }
        }));

        boxButton_ = rule.boxButton;
        if (rule.trigger == kCloseButton) Post(WM_COMMAND, MAKEWPARAM(Window::kCloseButton, 1));
        if (rule.trigger == kAction) Act();
        if (rule.trigger == kWmClose) Post(WM_CLOSE);
        EXPECT_EQ(rule.closes, Pump([&] { return Destroyed(); }, rule.closes ? 15000 : 500));
        EXPECT_EQ(rule.owner, owner_->log);
        const Boxes expected = rule.boxButton ? Boxes{{kCancelQuestion, MB_OKCANCEL}} : Boxes{};
        EXPECT_EQ(expected, boxes_) << "no failure box after a stop";
        const auto requests = updater_->requests;
        const bool cancelSent = !requests.empty() && requests.back().kind == MSG_REQUEST_CANCELINSTALL;
        EXPECT_EQ(rule.cancelled != 0, cancelSent);
        EXPECT_EQ(rule.cancelled, cancelSent ? requests.back().record.APLType : 0);
    }
}

TEST_F(SilentInstall, FailedDownloadOrLostNetworkEndsTheLauncher) {
    const struct {
        const char* faults;
        bool networkUp;
        Boxes boxes;
    } cases[] = {
        {R"({"/si_2.msi": {"kind": "status", "status": 404}})", true,
         {{kDownloadFailed, MB_OK | MB_ICONEXCLAMATION}}},
        {R"({"/si_2.msi": {"kind": "slow", "chunk": 1000, "interval": 0.05}})", false, {}},
    };
    for (const auto& failure : cases) {
        SCOPED_TRACE(failure.faults);
        Fresh();
        Offer("non", 100000, failure.faults);
        Open();
        networkUp = failure.networkUp;
        Act();
        EXPECT_TRUE(Pump([&] { return Destroyed(); }));
        EXPECT_EQ(Log{"close 8"}, owner_->log);
        EXPECT_EQ(failure.boxes, boxes_);
        EXPECT_EQ(0u, RequestCount());
    }
}

TEST_F(SilentInstall, InstallProgressCreepsAndFollowsTheUpdater) {
    Offer("noo");
    updater_->finishInstalls = false;
    Window& window = Open();
    Act();
    ASSERT_TRUE(Pump([&] { return RequestCount() == 1; }));
    const UINT notify = Registered("InstallNotifyProgress");
    // Two installations: each creeps up to 3 points short of its half.
    for (int limit : {47, 97}) {
        for (int i = 0; i < 60; ++i) Post(WM_TIMER, Window::kInstallTimer);
        Post(notify, INSTALL_NOTIFY_POSITION, 12345);
        skintest::PumpPending();
        EXPECT_EQ(limit, window.GetShownPercent());
        EXPECT_EQ(limit * 280 / 100, window.FindItem(Window::kImageBar)->Width());
        EXPECT_EQ(std::to_string(limit) + "%", Text(Window::kTimeText));
        Post(notify, INSTALL_NOTIFY_END, (limit == 47 ? 3 : 2) << 16);
        ASSERT_TRUE(Pump([&] { return window.GetProgress().InstallsDone() == (limit == 47 ? 1 : 2); }));
    }
    EXPECT_EQ((Requests{{3, 2}, {2, 2}}), InstallRequests());
    EXPECT_EQ(100, window.GetShownPercent());
    EXPECT_EQ(Window::kStateDone, window.GetActionState());
}
