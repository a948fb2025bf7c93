#include "tests/ui/SkinPreviewWindow.h"

#include <algorithm>

#include "ui/SkinItemAccess.h"
#include "ui/SkinWindowItemButton.h"
#include "ui/SkinWindowItemResizableStaticImage.h"
#include "ui/SkinWindowItemStatic.h"
#include "ui/SkinWindowItemStaticImage.h"
#include "ui/SkinWindowItemToggleButton.h"

namespace skintest {
namespace {

// Kept for the life of the process: windows hold it by reference.
const ui::FrameOverlayDefinition kOverlay{"FrameOverlay", static_cast<WORD>(CSkinPreviewWindow::kFrameOverlay)};

const char* SkinFileOf(PreviewKind kind) {
    switch (kind) {
    case PreviewKind::Launch: return "LaunchWindow.txt";
    case PreviewKind::SilentInstall: return "SilentInstallWindow.txt";
    case PreviewKind::VersionInfo: return "VersionInfoWindow.txt";
    case PreviewKind::HelpInfo: return "HelpInfoWindow.txt";
    }
    return "";
}

// x of the arrow's centre by button column: the middle of the launch window's 72-pixel buttons.
constexpr int kArrowColumns[5] = {75, 132, 190, 247, 304};

// The message panel of the silent-install window, in which its message is centred.
constexpr RECT kMessageBox{22, 59, 458, 121};

template <typename Item>
Item& ItemOf(ui::CSkinWindow& window, int id) {
    return static_cast<Item&>(*window.FindItem(id));
}

}  // namespace

const char* const CSkinPreviewWindow::kHelpTitles[3] = {
    "Vantorマネージャーを起動します。",
    "MSVタイトルエディターを起動します。",
    "アップデートマネージャーを起動します。",
};
const char* const CSkinPreviewWindow::kHelpTexts[3] = {
    "Vantorユニットで撮影した映像の再生を行います。",
    "ミュージックサーバーに録音した楽曲情報の編集などを行います。",
    "ナビゲーションの地図更新データのダウンロードを行います。",
};

CSkinPreviewWindow::CSkinPreviewWindow(PreviewKind kind, int column) : PreviewWindowBase(kOverlay), kind_(kind) {
    LoadSkinFile(definition_, SkinFileOf(kind), "Base", true);
    switch (kind) {
    case PreviewKind::Launch: AddLaunchItems(); break;
    case PreviewKind::SilentInstall: AddSilentInstallItems(); break;
    case PreviewKind::VersionInfo: AddVersionInfoItems(); break;
    case PreviewKind::HelpInfo: AddHelpInfoItems(column); break;
    }
}

CSkinPreviewWindow::~CSkinPreviewWindow() {
    // The framework only detaches a window whose object goes first.
    if (GetHandle() && ::IsWindow(GetHandle())) ::DestroyWindow(GetHandle());
}

void CSkinPreviewWindow::AddLaunchItems() {
    const auto block = [this](const char* name) { return ui::GetSkinItem(definition_, name); };
    AddButton(kUpdateButton, block("UpdateButton"));
    AddButton(kButtonClassFive, block("ButtonClassFive"));
    ui::CSkinWindowItemStaticImage& strip = AddStaticImage(kBackGrayImage, block("BackGrayImage"));
    strip.SetHitTarget(false);
    strip.SetItemRect(RECT{0, 0, 400, 32});
    AddStaticImage(kTitleImage, block("TitleCorvaneImg")).SetHitTarget(false);
    AddStaticImage(kTitleIcon, block("TitleCorvaneIcon"));
    AddButton(kCloseButton, block("CloseButton"), 1);
    AddButton(kMinimizeButton, block("MinimizeButton"), 2);
    AddToggleButton(kMenuButton, block("MenuButton"));
    AddStatic(kDebugText, block("DebugText")).SetVisible(false);
    CreateFrameOverlay(definition_);
    // The two buttons the launcher offers move into the middle columns.
    FindItem(kButtonClassFive)->SetItemRect(RECT{103, 33, 175, 105});
    FindItem(kUpdateButton)->SetItemRect(RECT{219, 33, 291, 105});
}

void CSkinPreviewWindow::AddSilentInstallItems() {
    const auto block = [this](const char* name) { return ui::GetSkinItem(definition_, name); };
    AddResizableStaticImage(kBaseGroup, block("BaseGroup"));
    AddResizableStaticImage(kImageBack, block("ImageBack"));
    AddResizableStaticImage(kImageBar, block("ImageBar"));
    AddStaticImage(kApplicationIcon, block("ApplicationIcon")).SetHitTarget(false);
    AddButton(kCloseButton, block("CloseButton"), 1);
    AddButton(kMinimizeButton, block("MinimizeButton"), 2);
    AddButton(kCancelButton, block("CancelButton")).SetText("開始", false);
    ui::CSkinWindowItemStatic& message = AddStatic(kMessageText, block("MessageText"));
    message.SetFormat(message.GetFormat() | DT_WORDBREAK);
    AddStatic(kTimeText, block("TimeText")).SetText("0%");
}

void CSkinPreviewWindow::AddVersionInfoItems() {
    const auto block = [this](const char* name) { return ui::GetSkinItem(definition_, name); };
    // First, so that the texts are drawn over it: it covers the whole window.
    AddButton(kCloseButton, block("CloseButton"), 1);
    AddStatic(kTextStatic, block("TextStatic"));
    AddStatic(kLauncherLabel, block("LCTextState1")).SetVisible(false);
    AddStatic(kUpdateManagerLabel, block("UMTextState1")).SetVisible(false);
    AddStatic(kEditorLabel, block("MMTextState1")).SetVisible(false);
    AddStatic(kLauncherValue, block("LCTextState2"));
    AddStatic(kUpdateManagerValue, block("UMTextState2"));
    AddStatic(kEditorValue, block("MMTextState2"));
}

void CSkinPreviewWindow::AddHelpInfoItems(int column) {
    const auto block = [this](const char* name) { return ui::GetSkinItem(definition_, name); };
    ui::CSkinWindowItemStatic& title = AddStatic(kTextApp, block("TextStaticAPP"));
    title.SetFormat(title.GetFormat() | DT_VCENTER | DT_SINGLELINE);
    AddStatic(kTextHelp, block("TextStaticHelp"));
    const int x = kArrowColumns[std::clamp(column, 0, 4)];
    AddStaticImage(kArrow, block("TextBackIcon")).SetItemRect(RECT{x - 7, 0, x + 8, 12});
}

void CSkinPreviewWindow::Make() {
    const RECT layout = GetLayoutRect();
    DWORD exStyle = 0;
    DWORD style = WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX;
    if (kind_ == PreviewKind::Launch) exStyle = WS_EX_LAYERED;
    if (kind_ == PreviewKind::HelpInfo) {
        exStyle = WS_EX_LAYERED;
        style = WS_POPUP | WS_CLIPCHILDREN;
    }
    // Not the launcher's titles: other programs look for those.
    const std::string title = std::string("skin preview ") + SkinFileOf(kind_);
    Create(exStyle, nullptr, title.c_str(), style, 0, 0, layout.right - layout.left, layout.bottom - layout.top,
           nullptr, nullptr);
}

void CSkinPreviewWindow::ShowProgress(const std::string& message, const std::string& button, int percent) {
    auto& text = ItemOf<ui::CSkinWindowItemStatic>(*this, kMessageText);
    text.SetText(message);
    text.SetItemRect(kMessageBox);
    const SIZE extent = text.MeasureText(message);
    const int top = kMessageBox.top + (kMessageBox.bottom - kMessageBox.top - extent.cy) / 2;
    // Centred across by its own alignment, down by its place.
    text.SetItemRect(RECT{kMessageBox.left, top, kMessageBox.right, kMessageBox.bottom});
    text.SetVisible(true);

    ItemOf<ui::CSkinWindowItemButton>(*this, kCancelButton).SetText(button, false);
    const int shown = std::clamp(percent, 0, 100);
    ui::CSkinWindowItem& bar = *FindItem(kImageBar);
    const int width = shown * kProgressWidth / 100;
    bar.SetItemRect(RECT{bar.X(), bar.Y(), bar.X() + width, bar.Y() + bar.Height()});
    ItemOf<ui::CSkinWindowItemStatic>(*this, kTimeText).SetText(std::to_string(shown) + "%");
}

void CSkinPreviewWindow::ShowVersions(const std::string& version, const std::array<std::string, 3>* details) {
    ItemOf<ui::CSkinWindowItemStatic>(*this, kTextStatic).SetText("Ver." + version);
    if (!details) return;
    const int values[3] = {kLauncherValue, kUpdateManagerValue, kEditorValue};
    const int labels[3] = {kLauncherLabel, kUpdateManagerLabel, kEditorLabel};
    int widest = 0;
    for (int i = 0; i < 3; ++i) {
        auto& value = ItemOf<ui::CSkinWindowItemStatic>(*this, values[i]);
        value.SetText((*details)[i]);
        widest = std::max(widest, static_cast<int>(value.MeasureText((*details)[i]).cx));
    }
    // Each label ends 5 pixels left of the widest value and is 20 pixels wide.
    for (int i = 0; i < 3; ++i) {
        const ui::CSkinWindowItem& value = *FindItem(values[i]);
        ui::CSkinWindowItem& label = *FindItem(labels[i]);
        const int right = value.X() + value.Width() - widest - 5;
        label.SetItemRect(RECT{right - 20, label.Y(), right, label.Y() + label.Height()});
        label.SetVisible(true);
    }
}

void CSkinPreviewWindow::ShowHelp(int index) {
    const int at = std::clamp(index, 0, 2);
    ItemOf<ui::CSkinWindowItemStatic>(*this, kTextApp).SetText(kHelpTitles[at]);
    auto& help = ItemOf<ui::CSkinWindowItemStatic>(*this, kTextHelp);
    help.SetText(kHelpTexts[at]);
    // Measured in the wide popup's 380-pixel box, the explanation against one blank line.
    const int width = help.Width(), height = help.Height();
    help.SetSize(380, height);
    const SIZE text = help.MeasureText(kHelpTexts[at]);
    const SIZE blank = help.MeasureText(" ");
    help.SetSize(width, height);
    const int popupHeight = (blank.cy > 0 ? static_cast<int>(text.cy) * 20 / blank.cy : 20) + 40;
    MoveWindow(0, 0, 388, popupHeight, false);
}

const lib::wfc::CDIB& ComposeActiveLook(ui::CSkinWindow& window) {
    for (int role = 1; role <= ui::CSkinWindow::kCaptionButtonCount; ++role) {
        if (ui::CSkinWindowItemButton* button = window.GetCaptionButton(role)) button->SetShowDisabledLook(false);
    }
    const RECT client = window.GetClientRect();
    window.RebuildBackBuffer(SIZE_RESTORED, client.right, client.bottom);
    return window.GetBackBuffer();
}

}  // namespace skintest
