#include "launcher/app/HelpInfoWindow.h"

#include <exception>

#include "launcher/app/LauncherMessages.h"
#include "ui/SkinItemAccess.h"
#include "ui/SkinWindowItemStatic.h"
#include "ui/SkinWindowItemStaticImage.h"

namespace ui {
namespace {

// Windows keep the definition by reference: it lives as long as the process.
const FrameOverlayDefinition kOverlay{"FrameOverlay", CHelpInfoWindow::kFrameOverlay};

// Popup width, and the width the explanation is measured in, wide and narrow.
constexpr int kWideWidth = 388;
constexpr int kWideMeasure = 380;
constexpr int kNarrowWidth = 316;
constexpr int kNarrowMeasure = 308;
// The text items keep 10 pixels left and 8 right of them.
constexpr int kTextMargins = 18;
// Every line of the explanation counts as 20 pixels; title and edges take 40.
constexpr int kLineHeight = 20;
constexpr int kFixedHeight = 40;
// Below the owner's top-left corner.
constexpr int kOffsetX = 7;
constexpr int kOffsetY = 99;

}  // namespace

const char* const CHelpInfoWindow::helpTitles[kHelpCount] = {
    "Vantorマネージャーを起動します。",
    "MSVタイトルエディターを起動します。",
    "アップデートマネージャーを起動します。",
};
const char* const CHelpInfoWindow::helpTexts[kHelpCount] = {
    "Vantorユニットで撮影した映像の再生を行います。",
    "ミュージックサーバーに録音した楽曲情報の編集などを行います。",
    "ナビゲーションの地図更新データのダウンロードを行います。",
};

CHelpInfoWindow::CHelpInfoWindow(HWND owner) : HelpInfoWindowBase(kOverlay), ownerWindow(owner) {
    SetResizable(false);
}

CHelpInfoWindow::~CHelpInfoWindow() {
    // Deleting the object takes the popup off the screen at once.
    if (GetHandle() && ::IsWindow(GetHandle())) ::DestroyWindow(GetHandle());
}

bool CHelpInfoWindow::Create(int column) {
    try {
        LoadSkinFile(definition_, "HelpInfoWindow.txt", "Base", true);
        titleText = &AddStatic(kTextStaticApp, GetSkinItem(definition_, "TextStaticAPP"));
        titleText->SetFormat(titleText->GetFormat() | DT_VCENTER | DT_SINGLELINE);
        helpText = &AddStatic(kTextStaticHelp, GetSkinItem(definition_, "TextStaticHelp"));
        arrowIcon = &AddStaticImage(kTextBackIcon, GetSkinItem(definition_, "TextBackIcon"));
        if (column >= 0 && column < kColumnCount) {
            const int x = arrowColumns[column];
            arrowIcon->SetItemRect(RECT{x - 7, 0, x + 8, 12});
        } else {
            arrowIcon->SetVisible(false);
        }

        const RECT layout = GetLayoutRect();
        HelpInfoWindowBase::Create(WS_EX_LAYERED, nullptr, "", WS_POPUP | WS_CLIPCHILDREN, 0, 0,
                                   layout.right - layout.left, layout.bottom - layout.top, ownerWindow, nullptr);
        ::SetLayeredWindowAttributes(GetHandle(), 0, kAlpha, LWA_ALPHA);
        CenterWindow(nullptr);
        return true;
    } catch (const std::exception&) {
        if (GetHandle()) ::DestroyWindow(GetHandle());
        return false;
    }
}

bool CHelpInfoWindow::Place(int left, int top, int /*right*/, int /*bottom*/, int index, bool wide) {
    if (index < 0 || index >= kHelpCount) return false;
    PlaceTexts(left, top, helpTitles[index], helpTexts[index], wide);
    return true;
}

void CHelpInfoWindow::PlaceTexts(int left, int top, const std::string& title, const std::string& explanation,
                                 bool wide) {
    if (!titleText || !helpText) return;
    const int width = wide ? kWideWidth : kNarrowWidth;
    // The narrow popup narrows its texts too, so that they wrap where they were measured.
    for (CSkinWindowItemStatic* text : {titleText, helpText}) {
        text->SetItemRect(RECT{text->X(), text->Y(), text->X() + width - kTextMargins, text->Y() + text->Height()});
    }
    titleText->SetText(title);
    helpText->SetText(explanation);

    const int itemWidth = helpText->Width(), itemHeight = helpText->Height();
    helpText->SetSize(wide ? kWideMeasure : kNarrowMeasure, itemHeight);
    const SIZE text = helpText->MeasureText(explanation);
    const SIZE blank = helpText->MeasureText(" ");
    helpText->SetSize(itemWidth, itemHeight);
    const int textHeight = blank.cy > 0 ? static_cast<int>(text.cy) * kLineHeight / blank.cy : kLineHeight;
    MoveWindow(left + kOffsetX, top + kOffsetY, width, textHeight + kFixedHeight, false);
}

void CHelpInfoWindow::OnEndSession(bool ending, LPARAM reason) {
    if (ending) PostMessage(WM_CLOSE, 0, 0);
    HelpInfoWindowBase::OnEndSession(ending, reason);
}

void CHelpInfoWindow::OnMouseMove(UINT keys, int x, int y) {
    // The owner closes and deletes the popup.
    if (ownerWindow) ::PostMessageA(ownerWindow, LWM_PRCWINDOWCLOSE, kCloseHelpPopup, 0);
    HelpInfoWindowBase::OnMouseMove(keys, x, y);
}

UINT CHelpInfoWindow::GetFrameOverlayMessage() { return kLauncherFrameOverlayMessage; }

}  // namespace ui
