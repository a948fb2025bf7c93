#include "launcher/app/VersionInfoWindow.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "launcher/app/LauncherMessages.h"
#include "lib/ProgramFiles.h"
#include "lib/wfc/ModalLoop.h"
#include "log/KilnLogWrapper.h"
#include "ui/SkinItemAccess.h"
#include "ui/SkinWindowItemButton.h"
#include "ui/SkinWindowItemStatic.h"

namespace ui {
namespace {

// Windows keep the definition by reference: it lives as long as the process.
const FrameOverlayDefinition kOverlay{"FrameOverlay", CVersionInfoWindow::kFrameOverlay};

// The detail lines: program file, value item and label item.
struct DetailLine {
    const wchar_t* programFile;
    int value;
    int label;
};
constexpr DetailLine kDetailLines[] = {
    {L"Ravelin_Launcher.exe", CVersionInfoWindow::kLauncherValue, CVersionInfoWindow::kLauncherLabel},
    {L"Ravelin_UpdateManager.exe", CVersionInfoWindow::kUpdateManagerValue, CVersionInfoWindow::kUpdateManagerLabel},
    {L"Ravelin_MSVTitleEditor.exe", CVersionInfoWindow::kEditorValue, CVersionInfoWindow::kEditorLabel},
};
// A label ends this far left of the widest value and is this wide.
constexpr int kLabelGap = 5;
constexpr int kLabelWidth = 20;

}  // namespace

CVersionInfoWindow::CVersionInfoWindow(HWND owner, std::wstring programPath)
    : VersionInfoWindowBase(kOverlay),
      programPath_(programPath.empty() ? lib::OwnProgramPath() : std::move(programPath)),
      ownerWindow(owner) {
    SetResizable(false);
}

CVersionInfoWindow::~CVersionInfoWindow() {
    // A modal loop left by WM_QUIT leaves the window behind: it goes with its object.
    if (GetHandle() && ::IsWindow(GetHandle())) ::DestroyWindow(GetHandle());
}

bool CVersionInfoWindow::Create() {
    try {
        LoadSkinFile(definition_, "VersionInfoWindow.txt", "Base", true);
        const auto block = [this](const char* name) { return GetSkinItem(definition_, name); };
        // First, so that the texts are drawn over it: it covers the whole window.
        AddButton(kCloseButton, block("CloseButton"), 1);
        versionText = &AddStatic(kTextStatic, block("TextStatic"));
        AddStatic(kLauncherLabel, block("LCTextState1")).SetVisible(false);
        AddStatic(kUpdateManagerLabel, block("UMTextState1")).SetVisible(false);
        AddStatic(kEditorLabel, block("MMTextState1")).SetVisible(false);
        launcherVersion = &AddStatic(kLauncherValue, block("LCTextState2"));
        updateManagerVersion = &AddStatic(kUpdateManagerValue, block("UMTextState2"));
        editorVersion = &AddStatic(kEditorValue, block("MMTextState2"));

        versionText->SetText("Ver." + lib::FileVersionText(programPath_, 3));
        // What the window shows goes to the log, as the message boxes' texts do.
        KILNLOG.Write(kLogInfo, "CVersionInfoWindow::Create %s", versionText->GetText().c_str());

        const RECT layout = GetLayoutRect();
        VersionInfoWindowBase::Create(0, nullptr, "バージョン情報",
                                      WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0,
                                      layout.right - layout.left, layout.bottom - layout.top, ownerWindow, nullptr);
        CenterWindow(nullptr);
        return true;
    } catch (const std::exception&) {
        if (GetHandle()) ::DestroyWindow(GetHandle());
        return false;
    }
}

void CVersionInfoWindow::ShowDetails() {
    if (!launcherVersion) return;
    const std::wstring folder = lib::FolderOf(programPath_);
    int widest = 0;
    std::string shown;
    for (const DetailLine& line : kDetailLines) {
        auto& value = static_cast<CSkinWindowItemStatic&>(*FindItem(line.value));
        const std::string version = lib::FileVersionText(folder + line.programFile, 4);
        value.SetText(version);
        shown += " [" + version + "]";
        // Measuring nothing can answer the whole box: a missing program takes no room.
        if (!version.empty()) widest = std::max(widest, static_cast<int>(value.MeasureText(version).cx));
    }
    for (const DetailLine& line : kDetailLines) {
        const CSkinWindowItem& value = *FindItem(line.value);
        CSkinWindowItem& label = *FindItem(line.label);
        const int right = value.X() + value.Width() - widest - kLabelGap;
        label.SetItemRect(RECT{right - kLabelWidth, label.Y(), right, label.Y() + label.Height()});
        label.SetVisible(true);
    }
    KILNLOG.Write(kLogInfo, "CVersionInfoWindow::ShowDetails%s", shown.c_str());
    // Moving items does not redraw them.
    if (IsWindowReady()) RedrawRect(GetClientRect(), false);
}

void CVersionInfoWindow::OnActivate(UINT, HWND) {}

void CVersionInfoWindow::OnEndSession(bool ending, LPARAM reason) {
    if (ending) {
        PostMessage(WM_CLOSE, 0, 0);
        if (ownerWindow) ::PostMessageA(ownerWindow, WM_ENDSESSION, TRUE, reason);
    }
    // Returns once the window is gone; the object may be gone with it.
    VersionInfoWindowBase::OnEndSession(ending, reason);
}

void CVersionInfoWindow::OnLButtonDown(UINT keys, int x, int y) {
    if (!detailsShown && InHoldArea(x, y)) StartHoldTimer(kHoldMilliseconds);
    VersionInfoWindowBase::OnLButtonDown(keys, x, y);
}

void CVersionInfoWindow::OnLButtonUp(UINT keys, int x, int y) {
    // Any release ends the hold, wherever the pointer went meanwhile.
    StopHoldTimer();
    VersionInfoWindowBase::OnLButtonUp(keys, x, y);
}

void CVersionInfoWindow::OnCaptureChanged(HWND newCapture) {
    // A hold whose capture is taken away will never see its release.
    if (newCapture != GetHandle()) StopHoldTimer();
    VersionInfoWindowBase::OnCaptureChanged(newCapture);
}

void CVersionInfoWindow::OnCommand(UINT id, UINT code, HWND control) {
    switch (id) {
    case kCloseButton:
        if (swallowNextClick) {
            swallowNextClick = false;
        } else {
            PostMessage(WM_CLOSE, 0, 0);
        }
        break;
    case SC_MOVE:
    case SC_MINIMIZE:
    case SC_CLOSE: PostMessage(WM_SYSCOMMAND, id, 0); break;
    default: VersionInfoWindowBase::OnCommand(id, code, control); break;
    }
}

void CVersionInfoWindow::OnTimer(UINT_PTR id) {
    if (id != kHoldTimer) {
        VersionInfoWindowBase::OnTimer(id);
        return;
    }
    StopHoldTimer();
    detailsShown = true;
    swallowNextClick = true;
    ShowDetails();
}

bool CVersionInfoWindow::NotifyCommand(int id, int code) {
    if (id == kCloseButton && swallowNextClick) {
        // The click that ends the hold is dropped here, before it becomes a
        // command; a release off the button clicks nothing and still ends it.
        if (code == kButtonClicked) {
            swallowNextClick = false;
            return true;
        }
        if (code == kButtonReleased) swallowNextClick = false;
    }
    return VersionInfoWindowBase::NotifyCommand(id, code);
}

UINT CVersionInfoWindow::GetFrameOverlayMessage() { return kLauncherFrameOverlayMessage; }

void CVersionInfoWindow::StartHoldTimer(UINT milliseconds) { SetTimer(kHoldTimer, milliseconds); }

void CVersionInfoWindow::StopHoldTimer() {
    if (GetHandle()) KillTimer(kHoldTimer);
}

bool ShowVersionInfoWindow(HWND owner, const std::wstring& programPath) {
    CVersionInfoWindow window(owner, programPath);
    if (!window.Create()) return false;
    window.ShowWindow(SW_SHOW);
    // Never set: the loop ends when the window is destroyed.
    const bool done = false;
    lib::wfc::RunModalLoop(window.GetHandle(), owner, done);
    if (owner && ::IsWindow(owner)) {
        ::SetForegroundWindow(owner);
        ::SetActiveWindow(owner);
    }
    return true;
}

}  // namespace ui
