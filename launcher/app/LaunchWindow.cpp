#include "launcher/app/LaunchWindow.h"

#include <algorithm>
#include <exception>
#include <iterator>

#include "launcher/app/ErrorMessageTable.h"
#include "launcher/app/HelpInfoWindow.h"
#include "launcher/app/LauncherMessages.h"
#include "launcher/app/LauncherResources.h"
#include "launcher/app/RunAPPMgr.h"
#include "launcher/app/SilentInstallWindow.h"
#include "launcher/app/VersionInfoWindow.h"
#include "launcher/update/WebBrowseHelper.h"
#include "log/KilnLogWrapper.h"
#include "ui/MessageBoxWindowForURL.h"
#include "ui/SkinItemAccess.h"
#include "ui/SkinWindowItemButton.h"
#include "ui/SkinWindowItemStatic.h"
#include "ui/SkinWindowItemStaticImage.h"
#include "ui/SkinWindowItemToggleButton.h"

namespace ui {
namespace {

const FrameOverlayDefinition kOverlay{"FrameOverlay", CLaunchWindow::kFrameOverlay};

// Which help text each application button's popup shows.
struct HelpTarget {
    int helpIndex;
    int buttonId;
};
constexpr HelpTarget kHelpTargets[] = {{0, CLaunchWindow::kDriveButton},
                                       {1, CLaunchWindow::kEditorButton},
                                       {2, CLaunchWindow::kUpdateButton}};

// The left edges of the button columns; a popup's arrow points at its button's column.
constexpr int kButtonColumns[] = {46, 103, 161, 219, 276};

constexpr DWORD kLaunchWindowStyle = WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr UINT kMenuButtonFlags = TPM_RIGHTBUTTON;
constexpr int kSetChecked = 100000001;

// Connection entries of the web pages the menu opens.
constexpr int kHomePageEntry = 39;
constexpr int kOnlineHelpEntry = 41;

bool Contains(const CSkinWindowItem* item, POINT point) { return item && item->IsVisible() && item->Contains(point); }

}  // namespace

const char CLaunchWindow::kStartupNotice[] =
    "＜重要なお知らせ＞\r\nWindows 10をご使用のお客様は、Windows 10のバージョンが動作保証済みであるかを、"
    "オンラインヘルプよりご確認ください。\r\n動作保証済みのバージョンではない場合は、Ravelinのご使用をお控えください。";
const char CLaunchWindow::kStartFailedText[] =
    "アプリケーションを起動できませんでした。\r\n実行権限がないか、または、データが破損している可能性があります。\r\n"
    "Ravelinを再起動して、再度お試しください。\r\n症状が改善しない場合は、Ravelinを再インストールしてください。";

CLaunchWindow::CLaunchWindow(SilentInstallEnvironment environment)
    : LaunchWindowBase(kOverlay),
      environment_(environment.WithDefaults()),
      msgStartLauncher_(::RegisterWindowMessageA("CVLStartLauncher")),
      msgNotifyError_(::RegisterWindowMessageA("CVLNotifyError")),
      msgNotifyProgress_(::RegisterWindowMessageA("CVLNotifyProgress")),
      msgNotifyFinish_(::RegisterWindowMessageA("CVLNotifyFinish")),
      msgUpdateInfo_(::RegisterWindowMessageA("Launcher_UpdateInfo")) {
    SetResizable(false);
}

CLaunchWindow::~CLaunchWindow() {
    helpWindow_.reset();
    silentInstallWindow_.reset();
    CKilnLogWrapper("LaunchWindow", 325).Write(kLogInfo, "CLaunchWindow::~CLaunchWindow end");
}

bool CLaunchWindow::Create() {
    // The answer does not matter: the launcher goes on either way.
    ShowUrlMessage(kStartupNotice, MB_OKCANCEL);
    try {
        LoadSkinFile(definition_, "LaunchWindow.txt", "Base", true);
        RequireSkinItems(definition_, {"UpdateButton", "ButtonClassFive", "BackGrayImage", "TitleCorvaneImg",
                                       "TitleCorvaneIcon", "CloseButton", "MinimizeButton", "MenuButton",
                                       "DebugText"});
        updateButton_ = &AddButton(kUpdateButton, GetSkinItem(definition_, "UpdateButton"));
        editorButton_ = &AddButton(kEditorButton, GetSkinItem(definition_, "ButtonClassFive"));
        CSkinWindowItemStaticImage& strip = AddStaticImage(kBackGrayImage, GetSkinItem(definition_, "BackGrayImage"));
        strip.SetHitTarget(false);
        strip.SetRect(0, 0, 400, 32);
        AddStaticImage(kTitleImage, GetSkinItem(definition_, "TitleCorvaneImg")).SetHitTarget(false);
        AddStaticImage(kTitleIcon, GetSkinItem(definition_, "TitleCorvaneIcon"));
        closeButton_ = &AddButton(kCloseButton, GetSkinItem(definition_, "CloseButton"), 1);
        AddButton(kMinimizeButton, GetSkinItem(definition_, "MinimizeButton"), 2);
        menuButton_ = &AddToggleButton(kMenuButton, GetSkinItem(definition_, "MenuButton"));
        debugText_ = &AddStatic(kDebugText, GetSkinItem(definition_, "DebugText"));
        debugText_->SetVisible(false);
        CreateFrameOverlay(definition_);

        const RECT layout = GetLayoutRect();
        LaunchWindowBase::Create(WS_EX_LAYERED, nullptr, "Ravelin_Launcher", kLaunchWindowStyle, 0, 0,
                                 layout.right - layout.left, layout.bottom - layout.top, nullptr, nullptr);
    } catch (const std::exception& error) {
        KILNLOG.Write(kLogError, "CLaunchWindow::Create failed %s", error.what());
        return false;
    }

    contextMenu_.AppendSubmenu({{kMenuHomePage, "Ravelin", MF_STRING}}, "ホームページ");
    contextMenu_.AppendItem(kMenuOnlineHelp, "オンラインヘルプ", MF_STRING);
    contextMenu_.AppendItem(kMenuVersionInfo, "バージョン情報", MF_STRING);

    const HICON icon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_RAVELIN_LAUNCHER_SMALL));
    SetIcon(icon, true);
    SetIcon(icon, false);
    PostMessage(msgStartLauncher_, 0, 0);

    editorButton_->SetItemRect(RECT{103, 33, 175, 105});
    updateButton_->SetItemRect(RECT{219, 33, 291, 105});
    RedrawRect(GetClientRect(), false);
    return true;
}

LRESULT CLaunchWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == LWM_PRCWINDOWCLOSE) {
        _PrcWindowClose(wParam);
        return 0;
    }
    if (message == WM_APP + 11 || message == WM_APP + 14) return 0;
    if (message == msgStartLauncher_) {
        StartUpdateCheck();
    } else if (message == LWM_SERVERSTARTFINISH) {
        _ServerMessagePro(2);
    } else if (message == LWM_SERVERSTART) {
        _ServerMessagePro(1);
    } else if (message == msgUpdateInfo_) {
        if (wParam == 1 && updateButton_) updateButton_->SetVisible(true);
    } else if (message == msgNotifyError_) {
        ShowErrorMessage(wParam, lParam);
    }
    // "CVLNotifyProgress", "CVLNotifyFinish" and system commands have nothing of their own here.
    return LaunchWindowBase::WindowProc(message, wParam, lParam);
}

void CLaunchWindow::StartUpdateCheck() {
    if (silentInstallWindow_) return;
    silentInstallWindow_ = std::make_unique<CSilentInstallWindow>(GetHandle(), environment_);
    silentInstallWindow_->Create();
}

void CLaunchWindow::_PrcWindowClose(WPARAM code) {
    CKilnLogWrapper("LaunchWindow", 1718).Write(kLogTrace, "CLaunchWindow::_PrcWindowClose %x",
                                                static_cast<unsigned>(code));
    if (code == kCloseHelpPopup) {
        CloseHelpPopup();
    } else if (code == kCloseSilentInstall || code == kCloseLauncher) {
        silentInstallWindow_.reset();
        if (code == kCloseLauncher) PostMessage(WM_CLOSE, 0, 0);
    }
}

void CLaunchWindow::_ServerMessagePro(int code) {
    CKilnLogWrapper("LaunchWindow", 1924).Write(kLogTrace, "CLaunchWindow::_ServerMessagePro  wParam:%d", code);
    if (code == 2) _OnServerStartFinish();
}

void CLaunchWindow::_OnServerStartFinish() {
    CKilnLogWrapper("LaunchWindow", 1475).Write(kLogTrace, "CLaunchWindow::_OnServerStartFinish ");
    // Placed and made opaque before it shows: it never flashes in the corner it was created in.
    CenterWindow(nullptr);
    ::SetLayeredWindowAttributes(GetHandle(), 0, kActiveAlpha, LWA_ALPHA);
    ShowWindow(SW_SHOW);
}

void CLaunchWindow::ShowErrorMessage(WPARAM code, LPARAM detail) {
    const auto value = static_cast<DWORD>(code);
    if (!launcher::IsShownErrorCode(value)) return;
    const launcher::ErrorMessage message = launcher::ErrorMessageFor(value, static_cast<DWORD>(detail));
    if (!message.text.empty()) ShowMessage(message.text, message.flags);
}

int CLaunchWindow::ShowMessage(const std::string& text, UINT flags) {
    return environment_.showMessage(GetHandle(), text, flags & ~static_cast<UINT>(MB_ICONINFORMATION));
}

int CLaunchWindow::ShowUrlMessage(const std::string& text, UINT flags) {
    CMessageBoxWindowForURL box(true);
    return box.DoModal(GetHandle(), text, flags & ~static_cast<UINT>(MB_ICONINFORMATION));
}

void CLaunchWindow::CloseHelpPopup() {
    if (!helpWindow_) return;
    if (::IsWindow(helpWindow_->GetHandle())) ::PostMessageA(helpWindow_->GetHandle(), WM_CLOSE, 0, 0);
    helpWindow_.reset();
}

void CLaunchWindow::ShowHelpPopup(int buttonId) {
    if (buttonId == hoveredButtonId_) return;
    if (buttonId == 0) {
        // Between the two buttons' pictures the pointer may still be on a button.
        const POINT point = CursorClientPoint();
        if ((Contains(updateButton_, point) || Contains(editorButton_, point)) && helpWindow_) return;
        hoveredButtonId_ = 0;
    }
    const auto target = std::find_if(std::begin(kHelpTargets), std::end(kHelpTargets),
                                     [buttonId](const HelpTarget& row) { return row.buttonId == buttonId; });
    CSkinWindowItem* button = target != std::end(kHelpTargets) ? FindItem(buttonId) : nullptr;
    if (!button) {
        CloseHelpPopup();
        return;
    }
    const auto column = std::find(std::begin(kButtonColumns), std::end(kButtonColumns), button->X());
    CloseHelpPopup();
    auto popup = std::make_unique<CHelpInfoWindow>(GetHandle());
    if (!popup->Create(static_cast<int>(column - std::begin(kButtonColumns)))) return;
    const RECT window = GetWindowRect();
    popup->Place(window.left, window.top, window.right, window.bottom, target->helpIndex, true);
    popup->ShowWindow(SW_SHOWNA);
    helpWindow_ = std::move(popup);
    hoveredButtonId_ = buttonId;
}

void CLaunchWindow::ShowMenu() {
    const RECT rect = menuButton_->GetRect();
    contextMenu_.Track(GetHandle(), POINT{rect.left, rect.bottom}, kMenuButtonFlags);
    menuButton_->OnItemCommand(kSetChecked, 0, 0);
}

void CLaunchWindow::StartProgram(int key) {
    if (!RunAPPMgr().StartApplication(key, L"Launcher", nullptr, SW_SHOW)) {
        ShowMessage(kStartFailedText, MB_OK | MB_ICONEXCLAMATION);
    }
}

void CLaunchWindow::OnCommand(UINT id, UINT code, HWND control) {
    switch (id) {
    case kDriveButton: StartProgram(RunAPPMgr::kVantorManager); break;
    case kEditorButton: StartProgram(RunAPPMgr::kMsvTitleEditor); break;
    case kUpdateButton: StartProgram(RunAPPMgr::kUpdateManager); break;
    case kCloseButton: PostMessage(WM_CLOSE, 0, 0); break;
    case kMinimizeButton: ShowWindow(SW_SHOWMINNOACTIVE); break;
    case kMenuButton: ShowMenu(); break;
    case kMenuHomePage: update::OpenConnectionUrl(kHomePageEntry); break;
    case kMenuOnlineHelp: update::OpenConnectionUrl(kOnlineHelpEntry); break;
    case kMenuVersionInfo: ShowVersionInfoWindow(GetHandle()); break;
    case SC_MOVE:
    case SC_MINIMIZE:
    case SC_CLOSE: PostMessage(WM_SYSCOMMAND, id, 0); break;
    default: LaunchWindowBase::OnCommand(id, code, control); break;
    }
}

bool CLaunchWindow::NotifyCommand(int id, int code) {
    if (code == 14) {
        const bool application = id == kDriveButton || id == kEditorButton || id == kUpdateButton;
        ShowHelpPopup(application ? id : 0);
    } else if (code == 15) {
        ShowHelpPopup(0);
        return true;
    }
    return LaunchWindowBase::NotifyCommand(id, code);
}

void CLaunchWindow::OnMouseMove(UINT keys, int x, int y) {
    if (keys == 0) ShowHelpPopup(0);
    LaunchWindowBase::OnMouseMove(keys, x, y);
}

void CLaunchWindow::OnActivate(UINT state, HWND otherWindow) {
    const bool active = state != WA_INACTIVE;
    if (!active) CloseHelpPopup();
    ::SetLayeredWindowAttributes(GetHandle(), 0, active ? kActiveAlpha : kInactiveAlpha, LWA_ALPHA);
    if (menuButton_) menuButton_->SetShowDisabledLook(!active);
    LaunchWindowBase::OnActivate(state, otherWindow);
}

void CLaunchWindow::OnEndSession(bool ending, LPARAM reason) {
    if (ending) PostMessage(WM_CLOSE, 0, 0);
    LaunchWindowBase::OnEndSession(ending, reason);
}

void CLaunchWindow::OnDestroy() {
    if (helpWindow_ && ::IsWindow(helpWindow_->GetHandle())) {
        ::PostMessageA(helpWindow_->GetHandle(), WM_CLOSE, 0, 0);
    }
    if (silentInstallWindow_ && ::IsWindow(silentInstallWindow_->GetHandle())) {
        ::PostMessageA(silentInstallWindow_->GetHandle(), WM_CLOSE, 0, 0);
    }
    ::PostQuitMessage(0);
    LaunchWindowBase::OnDestroy();
}

void CLaunchWindow::OnSize(UINT type, int cx, int cy) { CSkinWindow::OnSize(type, cx, cy); }

UINT CLaunchWindow::GetFrameOverlayMessage() { return kLauncherFrameOverlayMessage; }

}  // namespace ui
