#pragma once
// The window that runs the whole update of the suite. The launch window makes
// it at every start; it asks the update service what is new and either closes
// at once (nothing to install, or the check failed), so that the launch
// window shows itself, or shows itself with a Start button. Start runs the
// updater; once the updater announces itself the packages are downloaded one
// after the other, 4, 3, 2, 1 as flagged, each is handed to the updater only
// when it is complete on disk, and the updater's notifications drive the bar
// until the window returns to the launch window, or ends the launcher so
// that the launcher itself can be replaced.
//
// The launch window (owner) hears from it only by posted messages
// (LauncherMessages.h) and may delete the object once told it has closed.
#include <windows.h>

#include <memory>
#include <string>

#include "launcher/app/SilentInstallEnvironment.h"
#include "launcher/app/SilentInstallProgress.h"
#include "launcher/update/DownLoadCtrl.h"
#include "ui/EndSessionWaitingWindow.h"
#include "ui/FrameOverlayWindowBase.h"
#include "ui/ResizableSkinWindow.h"
#include "ui/SkinDefinition.h"
#include "ui/WindowBase.h"

namespace ui {

class CSkinWindowItemButton;
class CSkinWindowItemResizableStaticImage;
class CSkinWindowItemStatic;

using SilentInstallWindowBase = CFrameOverlayWindowBase<CEndSessionWaitingWindow<CResizableSkinWindow>>;

class CSilentInstallWindow : public SilentInstallWindowBase, public CWindowBase {
public:
    enum ItemId : int {
        kBaseGroup = 1, kImageBack, kImageBar, kApplicationIcon, kCloseButton, kMinimizeButton, kCancelButton,
        kMessageText, kTimeText, kFrameOverlay
    };
    // What the one action button does: its text is 開始, キャンセル, 次へ＞＞ or 完了.
    enum ActionState : int { kStateStart = 0, kStateCancel = 1, kStateNext = 2, kStateDone = 3 };

    // The bar creeps while a download has not reported yet, and while an
    // installation runs.
    static constexpr UINT_PTR kDownloadTimer = 5000;
    static constexpr UINT kDownloadTimerPeriod = 500;
    static constexpr UINT_PTR kInstallTimer = 5001;
    static constexpr UINT kInstallTimerPeriod = 200;
    // The updater announces itself before its window exists: a request that
    // finds no window yet is tried again, for up to 10 s, instead of being lost.
    static constexpr UINT_PTR kUpdaterWaitTimer = 5002;
    static constexpr UINT kUpdaterWaitPeriod = 100;
    static constexpr int kUpdaterWaitAttempts = 100;

    // `owner` is the launch window, told of the window's end.
    explicit CSilentInstallWindow(HWND owner,
                                  SilentInstallEnvironment environment = SilentInstallEnvironment::Default());
    // Stops every transfer; a window still there goes with its object.
    ~CSilentInstallWindow() override;

    // Makes the window, hidden and centred on the work area, and starts the
    // update check. False when the skin or the window could not be made (a
    // skin error has been shown already); the owner is then told, as after a
    // check that found nothing, so that it shows itself.
    bool Create();

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Hands the activation back to the owner.
    void OnDestroy() override;
    void OnActivate(UINT state, HWND otherWindow) override;
    void OnClose() override;
    bool OnQueryEndSession(LPARAM reason) override;
    void OnEndSession(bool ending, LPARAM reason) override;
    bool OnSetCursor(LPARAM hitTestAndMessage) override;
    void OnCommand(UINT id, UINT code, HWND control) override;
    void OnTimer(UINT_PTR id) override;
    UINT GetFrameOverlayMessage() override;
    // The pointer leaving an item is not the window's business.
    bool NotifyCommand(int id, int code) override;

    int GetActionState() const noexcept { return actionState_; }
    int GetComponentFlags() const noexcept { return componentFlags_; }
    // The component below which install requests are still to be sent.
    int GetInstallIndex() const noexcept { return installIndex_; }
    // The percentage last drawn.
    int GetShownPercent() const noexcept { return shownPercent_; }
    // The bytes of component `number`'s download that its progress messages reported.
    long long GetReportedBytes(int number) const noexcept {
        return number >= 1 && number <= 4 ? records_[number].bytes : 0;
    }
    const launcher::CSilentInstallProgress& GetProgress() const noexcept { return progress_; }
    CDownLoadCtrl& GetUpdateControl() noexcept { return *downloadCtrl_; }

private:
    // Bytes of one download as its progress messages report them; only the
    // count is shown, the ticks are kept for the record.
    struct DownloadRecord {
        DWORD previousTick = 0;
        long long previousBytes = 0;
        DWORD tick = 0;
        long long bytes = 0;
    };
    // The updater's last notifications; they change nothing on screen.
    struct InstallNotifyState {
        bool running = false;
        bool firstPosition = false;
        int total = 0;
        int position = 0;
        DWORD tick = 0;
    };

    void CreateItems();
    void StartUpdateCheck();

    void _OnQueryEnd(LPARAM result);
    void _OnVersionUpStart();
    void _OnDownloadProgress(int number, WPARAM contentLength, LPARAM bytes);
    void _OnDownloadComplete();
    void _OnDownloadError();
    void _OnInstallNotify(WPARAM code, LPARAM value);

    void StartNextDownload();
    // Whether the package of `number` is on disk as its download ended: the
    // download's thread ended with success and the file has its size.
    bool PackageIsComplete(int number);
    void BeginInstalls();
    void SendNextInstallRequest();
    void OnActionButton();
    void CancelOrDone();
    void CloseRequest();
    // Tells the owner how the window ends: with the launcher (kCloseLauncher)
    // or by showing the launch window.
    void TellOwnerOfClose(bool endLauncher);
    void PostToOwner(UINT message, WPARAM wParam, LPARAM lParam = 0);

    void SetMessageText(const char* text);
    void SetActionText(const char* text);
    void DrawProgress(int percent);
    UINT ProgressMessageOf(int number) const;

    // Shows a message box owned by this window. False when the window object
    // was deleted meanwhile: the caller must then return at once.
    bool ShowBox(const char* text, UINT type, int* answer);

    SilentInstallEnvironment environment_;
    SkinDefinition definition_;
    CSkinWindowItemStatic* timeText_ = nullptr;
    CSkinWindowItemStatic* messageText_ = nullptr;
    CSkinWindowItemButton* actionButton_ = nullptr;
    std::unique_ptr<CDownLoadCtrl> downloadCtrl_;
    CSkinWindowItemResizableStaticImage* progressBar_ = nullptr;

    UINT msgUpdateProgress_;
    UINT msgVantorProgress_;
    UINT msgMaintenanceProgress_;
    UINT msgLauncherProgress_;
    UINT msgInstallNotify_;
    UINT msgQueryEnd_;
    UINT msgVersionUpStart_;
    UINT msgNotifyError_;
    UINT msgDownloadError_;
    UINT msgDownloadComplete_;

    // By component number 1-4 (slot 0 unused).
    DownloadRecord records_[5];
    InstallNotifyState installNotifyState_;
    int installFinished_ = 0;
    int updaterWaits_ = 0;
    int componentFlags_ = 0;
    int installIndex_ = 4;
    long long expectedSize_ = 0;
    int nextDownload_ = 4;
    launcher::CSilentInstallProgress progress_;
    HWND ownerWindow_;
    bool firstProgressSeen_ = false;
    bool versionUpStarted_ = false;
    int actionState_ = kStateStart;

    int shownPercent_ = 0;
    int currentDownload_ = 0;     // the component being downloaded, 0 when none
    bool queryEnded_ = false;
    bool installing_ = false;     // every package downloaded
    bool closing_ = false;        // the window's end is decided: late messages change nothing
    bool failureShown_ = false;
    int modalDepth_ = 0;
    bool closeDeferred_ = false;
    bool failureDeferred_ = false;
    // False once the object is gone, for code that waited in a modal loop.
    std::shared_ptr<bool> alive_;
};

}  // namespace ui
