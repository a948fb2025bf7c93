#include "launcher/app/SilentInstallWindow.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <utility>

#include "launcher/app/LauncherMessages.h"
#include "launcher/app/UpdaterRequest.h"
#include "launcher/update/InstallerDownloader.h"
#include "launcher/update/NetworkState.h"
#include "log/KilnLogWrapper.h"
#include "ui/SkinItemAccess.h"
#include "ui/SkinWindowItemButton.h"
#include "ui/SkinWindowItemResizableStaticImage.h"
#include "ui/SkinWindowItemStatic.h"
#include "ui/SkinWindowItemStaticImage.h"

namespace ui {
namespace {

const FrameOverlayDefinition kOverlay{"FrameOverlay", CSilentInstallWindow::kFrameOverlay};

constexpr char kTitle[] = "Ravelin_Launcher";

constexpr char kFoundText[] =
    "新しいバージョンのRavelinが見つかりました。\r\n［開始］を押してバージョンアップをおこなってください。";
constexpr char kDownloadingText[] = "新しいバージョンのRavelinをダウンロードしています。\r\nしばらくお待ちください...";
constexpr char kInstallingText[] = "Ravelinをバージョンアップしています。\r\nしばらくお待ちください...";
constexpr char kLauncherRemainsText[] = "「次へ」を押してバージョンアップを完了してください。";
constexpr char kCompletedText[] = "Ravelinのバージョンアップが正常に完了しました。";
constexpr char kDownloadFailedText[] =
    "インストールができませんでした。\r\n再度バージョンアップを行うために、Ravelinを再起動してください。";
constexpr char kCancelQuestionText[] =
    "バージョンアップが完了するまではRavelinをお使いになれません。\r\nバージョンアップを中止してよろしいですか？";

// Texts of the action button by ActionState.
constexpr const char* kActionTexts[] = {"開始", "キャンセル", "次へ＞＞", "完了"};

// Where the message is centred.
constexpr RECT kMessageArea{22, 59, 458, 121};

// A download's thread posts its end just before it returns.
constexpr DWORD kDownloadThreadEndBound = 5000;

constexpr int kLauncherComponent = 1;

}  // namespace

CSilentInstallWindow::CSilentInstallWindow(HWND owner, SilentInstallEnvironment environment)
    : SilentInstallWindowBase(kOverlay),
      environment_(environment.WithDefaults()),
      downloadCtrl_(environment_.makeUpdateControl()),
      msgUpdateProgress_(::RegisterWindowMessageA("UpdateProgress")),
      msgVantorProgress_(::RegisterWindowMessageA("VantorProgress")),
      msgMaintenanceProgress_(::RegisterWindowMessageA("MaintenaceProgress")),
      msgLauncherProgress_(::RegisterWindowMessageA("LancherProgress")),
      msgInstallNotify_(::RegisterWindowMessageA("InstallNotifyProgress")),
      msgQueryEnd_(::RegisterWindowMessageA(CDownLoadCtrl::kQueryEndMessage)),
      msgVersionUpStart_(::RegisterWindowMessageA("Launcher_VERUPSTART")),
      msgNotifyError_(::RegisterWindowMessageA(CDownLoadCtrl::kNotifyErrorMessage)),
      msgDownloadError_(::RegisterWindowMessageA(CInstallerDownloader::kDownloadErrorMessage)),
      msgDownloadComplete_(::RegisterWindowMessageA(CInstallerDownloader::kDownloadCompleteMessage)),
      ownerWindow_(owner),
      alive_(std::make_shared<bool>(true)) {
    SetResizable(false);
}

CSilentInstallWindow::~CSilentInstallWindow() {
    *alive_ = false;
    // The owner may delete the object before its window has processed the
    // close it posted to itself.
    if (GetHandle() && ::IsWindow(GetHandle())) ::DestroyWindow(GetHandle());
    downloadCtrl_.reset();
}

bool CSilentInstallWindow::Create() {
    try {
        CreateItems();
        const RECT layout = GetLayoutRect();
        SilentInstallWindowBase::Create(0, nullptr, kTitle, WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX,
                                        0, 0, layout.right - layout.left, layout.bottom - layout.top, nullptr);
        CenterWindow(nullptr);
        UpdateWindow();
        SetMessageText(kFoundText);
    } catch (const std::exception& error) {
        KILNLOG.Write(kLogError, "CSilentInstallWindow::Create failed %s", error.what());
        if (GetHandle() && ::IsWindow(GetHandle())) ::DestroyWindow(GetHandle());
        TellOwnerOfClose(false);
        return false;
    }
    StartUpdateCheck();
    return true;
}

void CSilentInstallWindow::CreateItems() {
    LoadSkinFile(definition_, "SilentInstallWindow.txt", "Base", true);
    const auto block = [this](const char* name) { return GetSkinItem(definition_, name); };
    AddResizableStaticImage(kBaseGroup, block("BaseGroup"));
    AddResizableStaticImage(kImageBack, block("ImageBack"));
    progressBar_ = &AddResizableStaticImage(kImageBar, block("ImageBar"));
    AddStaticImage(kApplicationIcon, block("ApplicationIcon")).SetHitTarget(false);
    AddButton(kCloseButton, block("CloseButton"), 1);
    AddButton(kMinimizeButton, block("MinimizeButton"), 2);
    actionButton_ = &AddButton(kCancelButton, block("CancelButton"));
    messageText_ = &AddStatic(kMessageText, block("MessageText"));
    timeText_ = &AddStatic(kTimeText, block("TimeText"));

    actionButton_->SetText(kActionTexts[kStateStart], false);
    messageText_->SetText(kFoundText);
    messageText_->SetFormat(messageText_->GetFormat() | DT_WORDBREAK);
    timeText_->SetText("0%");
}

void CSilentInstallWindow::StartUpdateCheck() {
    const HWND self = GetHandle();
    // Known before any download starts, so that no progress message goes astray.
    for (int number = 1; number <= update::kComponentCount; ++number)
        downloadCtrl_->SetProgressTarget(number, self, ProgressMessageOf(number));
    downloadCtrl_->SetOwner(self, msgQueryEnd_);
    // A check that cannot start ends like a failed one.
    if (!downloadCtrl_->StartQuery()) PostMessage(msgQueryEnd_, 0, static_cast<LPARAM>(-1));
}

LRESULT CSilentInstallWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == msgQueryEnd_) {
        _OnQueryEnd(lParam);
    } else if (message == msgVersionUpStart_) {
        _OnVersionUpStart();
    } else if (message == msgLauncherProgress_) {
        _OnDownloadProgress(1, wParam, lParam);
    } else if (message == msgUpdateProgress_) {
        _OnDownloadProgress(2, wParam, lParam);
    } else if (message == msgMaintenanceProgress_) {
        _OnDownloadProgress(3, wParam, lParam);
    } else if (message == msgVantorProgress_) {
        _OnDownloadProgress(4, wParam, lParam);
    } else if (message == msgDownloadComplete_) {
        _OnDownloadComplete();
    } else if (message == msgDownloadError_) {
        _OnDownloadError();
    } else if (message == msgInstallNotify_) {
        _OnInstallNotify(wParam, lParam);
    } else if (message == msgNotifyError_) {
        // The launch window shows it.
        PostToOwner(message, wParam, lParam);
    } else {
        return SilentInstallWindowBase::WindowProc(message, wParam, lParam);
    }
    return 0;
}

void CSilentInstallWindow::_OnQueryEnd(LPARAM result) {
    if (queryEnded_) return;
    queryEnded_ = true;
    if (result == 0) componentFlags_ = downloadCtrl_->CheckHaveNewVersion();
    // Only an update flag gives something to download.
    if (result != 0 || launcher::CountFlaggedComponents(componentFlags_) == 0) {
        installIndex_ = 0;
        PostMessage(WM_CLOSE, 0, 0);
        return;
    }
    ::SetForegroundWindow(GetHandle());
    ::SetActiveWindow(GetHandle());
    ShowWindow(SW_SHOW);
}

void CSilentInstallWindow::_OnVersionUpStart() {
    // Only the first announcement counts, and only after a check that found something.
    if (versionUpStarted_ || closing_ || launcher::CountFlaggedComponents(componentFlags_) == 0) return;
    versionUpStarted_ = true;
    actionState_ = kStateCancel;
    SetActionText(kActionTexts[kStateCancel]);
    progress_.SetDownloadsTotal(launcher::CountFlaggedComponents(componentFlags_));
    StartNextDownload();
}

void CSilentInstallWindow::StartNextDownload() {
    nextDownload_ = launcher::NextFlaggedComponent(componentFlags_, nextDownload_);
    if (nextDownload_ != 0) {
        SetTimer(kDownloadTimer, kDownloadTimerPeriod);
        currentDownload_ = nextDownload_;
        records_[currentDownload_] = DownloadRecord{};
        const bool started = downloadCtrl_->StartDownload(nextDownload_);
        --nextDownload_;
        // A download that did not start is a failed one (the control may
        // have said so already; the failure is shown once).
        if (!started) PostMessage(msgDownloadError_, 0, 0);
    }
    SetMessageText(kDownloadingText);
    const DWORD now = ::GetTickCount();
    for (int number = 1; number <= update::kComponentCount; ++number) {
        if (CInstallerDownloader* downloader = downloadCtrl_->GetDownloader(number)) {
            downloader->SetProgressTarget(GetHandle(), ProgressMessageOf(number));
            records_[number].previousTick = records_[number].tick = now;
        }
    }
}

void CSilentInstallWindow::_OnDownloadProgress(int number, WPARAM contentLength, LPARAM bytes) {
    // Late messages of a download that has ended, or of a closing window.
    if (closing_ || number != currentDownload_) return;
    DownloadRecord& record = records_[number];
    record.previousTick = record.tick;
    record.previousBytes = record.bytes;
    record.tick = ::GetTickCount();
    record.bytes += static_cast<DWORD>(bytes);
    expectedSize_ = static_cast<long long>(contentLength);

    if (!update::IsNetworkUp()) {
        KillTimer(kDownloadTimer);
        closing_ = true;
        PostMessage(WM_CLOSE, 0, 0);
        return;
    }
    if (!firstProgressSeen_) {
        firstProgressSeen_ = true;
        KillTimer(kDownloadTimer);
        progress_.BeginDownloadSpan();
    }
    // Only the download's end completes it; here the bar stays within its span.
    const int shown = progress_.DownloadPercent(record.bytes, expectedSize_);
    DrawProgress(std::min(shown, progress_.Percent() + progress_.Span()));
}

void CSilentInstallWindow::_OnDownloadComplete() {
    if (closing_ || currentDownload_ == 0) return;
    const int number = currentDownload_;
    if (!PackageIsComplete(number)) {
        KILNLOG.Write(kLogError, "CSilentInstallWindow package incomplete %d %s", number,
                      downloadCtrl_->GetPackagePath(number).c_str());
        _OnDownloadError();
        return;
    }
    currentDownload_ = 0;
    // A package too small to have reported progress still covers its span.
    if (!firstProgressSeen_) progress_.BeginDownloadSpan();
    progress_.CompleteDownload();
    const int shown = progress_.Percent();
    if (!progress_.AllDownloaded()) {
        SetTimer(kDownloadTimer, kDownloadTimerPeriod);
        firstProgressSeen_ = false;
        StartNextDownload();
    }
    DrawProgress(shown);
    if (progress_.AllDownloaded()) BeginInstalls();
}

bool CSilentInstallWindow::PackageIsComplete(int number) {
    CInstallerDownloader* downloader = downloadCtrl_->GetDownloader(number);
    if (!downloader || !downloader->Wait(kDownloadThreadEndBound)) return false;
    const long long size = downloader->GetCompletedSize();
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (size < 0 ||
        !::GetFileAttributesExA(downloader->GetPackagePath().c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return false;
    }
    return ((static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow) == size;
}

void CSilentInstallWindow::BeginInstalls() {
    KillTimer(kDownloadTimer);
    installing_ = true;
    // The launcher's own package is installed after the launcher has gone: it is not waited for.
    const bool launcherAmong = (componentFlags_ & launcher::ComponentUpdateFlag(kLauncherComponent)) != 0;
    progress_.BeginInstalls(progress_.DownloadsDone() - (launcherAmong ? 1 : 0));
    SetMessageText(kInstallingText);
    // The bar starts afresh for the installations.
    DrawProgress(0);
    SendNextInstallRequest();
}

void CSilentInstallWindow::SendNextInstallRequest() {
    installIndex_ = launcher::NextFlaggedComponent(componentFlags_, installIndex_);
    if (installIndex_ == 0) return;
    const HWND updater = launcher::FindUpdaterWindow();
    if (!updater && updaterWaits_ < kUpdaterWaitAttempts) {
        ++updaterWaits_;
        SetTimer(kUpdaterWaitTimer, kUpdaterWaitPeriod);
        return;
    }
    if (!updater) KILNLOG.Write(kLogError, "CSilentInstallWindow updater window not found");
    updaterWaits_ = 0;
    const int number = installIndex_;
    const int installType = (componentFlags_ & launcher::ComponentFirstInstallFlag(number)) ? INSTALLTYPE_FIRST
                                                                                           : INSTALLTYPE_REINSTALL;
    InstallRequestRecord record{};
    if (!launcher::MakeInstallRequest(number, installType, GetHandle(), msgInstallNotify_,
                                      downloadCtrl_->GetPackagePath(number), &record)) {
        KILNLOG.Write(kLogError, "CSilentInstallWindow no package to hand over %d %s", number,
                      downloadCtrl_->GetPackagePath(number).c_str());
        return;
    }
    --installIndex_;
    installFinished_ = 0;
    launcher::SendToUpdater(updater, COPYDATAINSTALL, record);
    if (installIndex_ == 0) {
        // The launcher's own package: the updater installs it once the launcher has ended.
        PostToOwner(LWM_PRCWINDOWCLOSE, kCloseLauncher);
    } else {
        SetTimer(kInstallTimer, kInstallTimerPeriod);
    }
}

void CSilentInstallWindow::_OnInstallNotify(WPARAM code, LPARAM value) {
    installNotifyState_.tick = ::GetTickCount();
    switch (code) {
    case INSTALL_NOTIFY_START:
        installNotifyState_ = InstallNotifyState{true, true, 0, 0, installNotifyState_.tick};
        return;
    case INSTALL_NOTIFY_RESET:
    case INSTALL_NOTIFY_ADDTOTAL:
        installNotifyState_.total = HIWORD(static_cast<DWORD>(value));
        return;
    case INSTALL_NOTIFY_POSITION:
        installNotifyState_.position = static_cast<int>(value);
        installNotifyState_.firstPosition = false;
        return;
    case INSTALL_NOTIFY_END:
        installNotifyState_.running = false;
        break;
    default:
        return;
    }
    // One end per request sent; others (a stray updater, a second end) change nothing.
    if (!installing_ || closing_ || installFinished_ == 100) return;
    installFinished_ = 100;
    progress_.EndInstall();
    KillTimer(kInstallTimer);
    DrawProgress(progress_.Percent());
    if (!progress_.AllInstalled()) {
        SendNextInstallRequest();
    } else if (componentFlags_ & launcher::ComponentUpdateFlag(kLauncherComponent)) {
        actionState_ = kStateNext;
        SetActionText(kActionTexts[kStateNext]);
        SetMessageText(kLauncherRemainsText);
        installIndex_ = kLauncherComponent;
    } else {
        actionState_ = kStateDone;
        SetActionText(kActionTexts[kStateDone]);
        SetMessageText(kCompletedText);
        installIndex_ = 0;
    }
}

void CSilentInstallWindow::_OnDownloadError() {
    if (closing_ || failureShown_) return;
    // One box at a time: a failure during another box is shown after it.
    if (modalDepth_ > 0) {
        failureDeferred_ = true;
        return;
    }
    failureShown_ = true;
    KillTimer(kDownloadTimer);
    int answer = 0;
    if (!ShowBox(kDownloadFailedText, MB_OK | MB_ICONEXCLAMATION, &answer)) return;
    // installIndex is above 0 still: the launcher ends.
    PostMessage(WM_CLOSE, 0, 0);
}

void CSilentInstallWindow::OnCommand(UINT id, UINT code, HWND control) {
    switch (id) {
    case kCloseButton: CloseRequest(); break;
    case kCancelButton: OnActionButton(); break;
    case kMinimizeButton: ShowWindow(SW_SHOWMINNOACTIVE); break;
    case SC_MOVE:
    case SC_MINIMIZE:
    case SC_CLOSE: PostMessage(WM_SYSCOMMAND, id, 0); break;
    default: SilentInstallWindowBase::OnCommand(id, code, control); break;
    }
}

void CSilentInstallWindow::OnActionButton() {
    if (closing_) return;
    switch (actionState_) {
    case kStateStart:
        // The state changes when the updater announces itself.
        environment_.startUpdater();
        break;
    case kStateCancel:
    case kStateDone: CancelOrDone(); break;
    case kStateNext: SendNextInstallRequest(); break;
    default: break;
    }
}

void CSilentInstallWindow::CancelOrDone() {
    const bool launcherAmong = (componentFlags_ & launcher::ComponentUpdateFlag(kLauncherComponent)) != 0;
    if (installIndex_ == 0 && !launcherAmong) {
        closing_ = true;
        TellOwnerOfClose(false);
        PostMessage(WM_CLOSE, 0, 0);
        return;
    }
    int answer = 0;
    if (!ShowBox(kCancelQuestionText, MB_OKCANCEL, &answer) || answer != IDOK || closing_) return;
    // Requests have gone to the updater: the one it is installing is cancelled.
    if (installIndex_ <= 2) {
        launcher::SendToUpdater(launcher::FindUpdaterWindow(), MSG_REQUEST_CANCELINSTALL,
                                launcher::MakeCancelRequest(installIndex_ + 1));
    }
    closing_ = true;
    downloadCtrl_->StopAll();
    PostToOwner(LWM_PRCWINDOWCLOSE, kCloseLauncher);
    PostMessage(WM_CLOSE, 0, 0);
}

void CSilentInstallWindow::CloseRequest() {
    closing_ = true;
    downloadCtrl_->StopAll();
    TellOwnerOfClose(installIndex_ != 0);
    PostMessage(WM_CLOSE, 0, 0);
}

void CSilentInstallWindow::OnClose() {
    // The box owned by this window ends first.
    if (modalDepth_ > 0) {
        closeDeferred_ = true;
        return;
    }
    closing_ = true;
    downloadCtrl_->StopAll();
    TellOwnerOfClose(installIndex_ != 0);
    SilentInstallWindowBase::OnClose();
}

void CSilentInstallWindow::TellOwnerOfClose(bool endLauncher) {
    if (endLauncher) {
        PostToOwner(LWM_PRCWINDOWCLOSE, kCloseLauncher);
    } else {
        PostToOwner(LWM_SERVERSTARTFINISH, 0);
        PostToOwner(LWM_PRCWINDOWCLOSE, kCloseSilentInstall);
    }
}

void CSilentInstallWindow::PostToOwner(UINT message, WPARAM wParam, LPARAM lParam) {
    if (ownerWindow_) ::PostMessageA(ownerWindow_, message, wParam, lParam);
}

void CSilentInstallWindow::OnDestroy() {
    if (ownerWindow_ && ::IsWindow(ownerWindow_)) {
        ::SetForegroundWindow(ownerWindow_);
        ::SetActiveWindow(ownerWindow_);
    }
    SilentInstallWindowBase::OnDestroy();
}

void CSilentInstallWindow::OnActivate(UINT, HWND) {}

bool CSilentInstallWindow::OnQueryEndSession(LPARAM) { return DefaultProc() != 0; }

void CSilentInstallWindow::OnEndSession(bool ending, LPARAM reason) {
    if (ending) PostMessage(WM_CLOSE, 0, 0);
    // Waits until the window is gone; the object may be gone with it.
    SilentInstallWindowBase::OnEndSession(ending, reason);
}

bool CSilentInstallWindow::OnSetCursor(LPARAM hitTestAndMessage) {
    const POINT point = CursorClientPoint();
    for (int id : {kCloseButton, kCancelButton}) {
        const CSkinWindowItem* item = FindItem(id);
        if (item && item->IsVisible() && item->Contains(point)) {
            ::SetCursor(::LoadCursorA(nullptr, IDC_HAND));
            return true;
        }
    }
    return SilentInstallWindowBase::OnSetCursor(hitTestAndMessage);
}

void CSilentInstallWindow::OnTimer(UINT_PTR id) {
    if (id == kDownloadTimer) {
        if (!update::IsNetworkUp()) {
            KillTimer(kDownloadTimer);
        } else if (progress_.CreepDownload()) {
            DrawProgress(progress_.Percent());
        }
    } else if (id == kInstallTimer) {
        if (progress_.CreepInstall()) DrawProgress(progress_.Percent());
    } else if (id == kUpdaterWaitTimer) {
        KillTimer(kUpdaterWaitTimer);
        if (!closing_) SendNextInstallRequest();
    } else {
        SilentInstallWindowBase::OnTimer(id);
    }
}

UINT CSilentInstallWindow::GetFrameOverlayMessage() { return kLauncherFrameOverlayMessage; }

bool CSilentInstallWindow::NotifyCommand(int id, int code) {
    if (code == kButtonMouseLeave) return false;
    return SilentInstallWindowBase::NotifyCommand(id, code);
}

void CSilentInstallWindow::SetMessageText(const char* text) {
    // Measured in the whole area, then the item takes just the text's extent, centred.
    messageText_->SetVisible(false);
    messageText_->SetItemRect(kMessageArea);
    messageText_->SetText(text);
    const SIZE extent = messageText_->MeasureText(text);
    const int left = kMessageArea.left + (kMessageArea.right - kMessageArea.left - extent.cx) / 2;
    const int top = kMessageArea.top + (kMessageArea.bottom - kMessageArea.top - extent.cy) / 2;
    messageText_->SetItemRect(RECT{left, top, left + extent.cx, top + extent.cy});
    messageText_->SetVisible(true);
    RedrawRect(kMessageArea, false);
}

void CSilentInstallWindow::SetActionText(const char* text) {
    // The button shows where the update stands; support reads that from the log.
    KILNLOG.Write(kLogInfo, "CSilentInstallWindow action %s", text);
    actionButton_->SetText(text, false);
}

void CSilentInstallWindow::DrawProgress(int percent) {
    const int shown = launcher::CSilentInstallProgress::Capped(percent);
    shownPercent_ = shown;
    const RECT bar = progressBar_->GetRect();
    progressBar_->SetItemRect(
        RECT{bar.left, bar.top, bar.left + launcher::CSilentInstallProgress::BarWidth(shown), bar.bottom});
    if (const CSkinWindowItem* back = FindItem(kImageBack)) RedrawRect(back->GetRect(), false);
    char text[16];
    std::snprintf(text, sizeof text, "%d%s", shown, "%");
    timeText_->SetText(text);
}

UINT CSilentInstallWindow::ProgressMessageOf(int number) const {
    switch (number) {
    case 1: return msgLauncherProgress_;
    case 2: return msgUpdateProgress_;
    case 3: return msgMaintenanceProgress_;
    case 4: return msgVantorProgress_;
    default: return 0;
    }
}

bool CSilentInstallWindow::ShowBox(const char* text, UINT type, int* answer) {
    const std::shared_ptr<bool> alive = alive_;
    ++modalDepth_;
    int result = 0;
    try {
        result = environment_.showMessage(GetHandle(), text, type);
    } catch (const std::exception& error) {
        KILNLOG.Write(kLogError, "CSilentInstallWindow message box failed %s", error.what());
    }
    if (!*alive) return false;
    --modalDepth_;
    *answer = result;
    if (closeDeferred_) {
        closeDeferred_ = false;
        PostMessage(WM_CLOSE, 0, 0);
    }
    if (failureDeferred_) {
        failureDeferred_ = false;
        PostMessage(msgDownloadError_, 0, 0);
    }
    return true;
}

}  // namespace ui
