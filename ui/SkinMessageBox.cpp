#include "ui/SkinMessageBox.h"

#include <algorithm>
#include <exception>

#include "lib/wfc/DC.h"
#include "lib/wfc/ModalLoop.h"
#include "log/KilnLogWrapper.h"
#include "ui/SkinItemAccess.h"
#include "ui/SkinWindowItemButton.h"
#include "ui/SkinWindowItemIcon.h"
#include "ui/SkinWindowItemResizableStaticImage.h"
#include "ui/SkinWindowItemStatic.h"

namespace ui {
namespace {

const FrameOverlayDefinition kOverlay{"FrameOverlay", CSkinMessageBox::kFrameOverlay};

struct StandardButton {
    int id;
    const char* block;
};
constexpr StandardButton kStandardButtons[] = {{CSkinMessageBox::kOkButton, "OkButton"},
                                               {CSkinMessageBox::kCancelButton, "CancelButton"},
                                               {CSkinMessageBox::kYesButton, "YesButton"},
                                               {CSkinMessageBox::kNoButton, "NoButton"},
                                               {CSkinMessageBox::kRetryButton, "RetryButton"}};

// The standard buttons of a type, left to right.
std::vector<int> ButtonsOf(UINT type) {
    switch (type & 0x0F) {
    case MB_OK: return {CSkinMessageBox::kOkButton};
    case MB_OKCANCEL: return {CSkinMessageBox::kOkButton, CSkinMessageBox::kCancelButton};
    case MB_YESNOCANCEL:
        return {CSkinMessageBox::kYesButton, CSkinMessageBox::kNoButton, CSkinMessageBox::kCancelButton};
    case MB_YESNO: return {CSkinMessageBox::kYesButton, CSkinMessageBox::kNoButton};
    case MB_RETRYCANCEL: return {CSkinMessageBox::kRetryButton, CSkinMessageBox::kCancelButton};
    default: return {};
    }
}

// The widest character of the screen's default font: the unit in which a
// tall text makes the box taller.
int ScreenMaxCharWidth() {
    const lib::wfc::CClientDC screen(nullptr);
    TEXTMETRICA metrics{};
    return ::GetTextMetricsA(screen.Handle(), &metrics) ? metrics.tmMaxCharWidth : 0;
}

constexpr int kEdge = 10;      // buttons from the right and bottom edges
constexpr int kButtonGap = 5;  // between buttons
constexpr int kIconGap = 8;    // between icon and text
constexpr int kPanelMargin = 8;  // at least between the text and the panel's top and bottom

}  // namespace

CSkinMessageBox::CSkinMessageBox(bool topmost, const char* skinFile)
    : MessageBoxWindowBase(kOverlay), topmost_(topmost), skinFile_(skinFile) {
    SetResizable(false);
}

CSkinMessageBox::~CSkinMessageBox() = default;

void CSkinMessageBox::AddExtendedButton(const std::string& caption) { extendedCaptions_.push_back(caption); }

void CSkinMessageBox::Build(HWND owner, const std::string& text, UINT type) {
    LoadSkinFile(definition_, skinFile_, "Base", true);
    std::vector<std::string> blocks = {"CloseButton", "GroupingBase", "Text"};
    for (const StandardButton& button : kStandardButtons) blocks.push_back(button.block);
    if (!extendedCaptions_.empty()) blocks.push_back("ExtendedButton");
    RequireSkinItems(definition_, blocks);

    AddResizableStaticImage(kGroupingBase, GetSkinItem(definition_, "GroupingBase"));
    AddIcon(kIcon, nullptr);
    CSkinWindowItemStatic& textItem = AddStatic(kText, GetSkinItem(definition_, "Text"));
    AddButton(kCloseButton, GetSkinItem(definition_, "CloseButton"), 1);
    for (const StandardButton& button : kStandardButtons) {
        AddButton(button.id, GetSkinItem(definition_, button.block)).SetVisible(false);
    }
    extendedButtons_.clear();
    for (std::size_t k = 0; k < extendedCaptions_.size(); ++k) {
        CSkinWindowItemButton& button =
            AddButton(kExtendedButtonBase + static_cast<int>(k), GetSkinItem(definition_, "ExtendedButton"));
        button.SetVisible(false);
        extendedButtons_.push_back(&button);
    }
    CreateFrameOverlay(definition_);
    textItem.SetRect(20, 18, 580, 72);
    textItem.SetFormat(DT_WORDBREAK);

    char title[100] = "";
    if (owner) ::GetWindowTextA(owner, title, sizeof(title));
    const RECT rect = GetLayoutRect();
    Create(topmost_ ? WS_EX_TOPMOST : 0, nullptr, title, WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU, rect.left,
           rect.top, rect.right - rect.left, rect.bottom - rect.top, owner, nullptr);
    LayOut(text, type);
}

void CSkinMessageBox::LayOut(const std::string& text, UINT type) {
    // Items are recoloured, moved and shown one by one: composed once, at the end.
    CRedrawBatch batch(*this);
    auto& textItem = static_cast<CSkinWindowItemStatic&>(*FindItem(kText));
    textItem.SetTextColor((type & 0xF0) == MB_ICONWARNING ? kWarningTextColor : kTextColor);
    textItem.SetText(text);

    std::vector<CSkinWindowItemButton*> buttons;
    for (int id : ButtonsOf(type)) buttons.push_back(static_cast<CSkinWindowItemButton*>(FindItem(id)));
    for (std::size_t k = 0; k < extendedButtons_.size(); ++k) {
        extendedButtons_[k]->SetText(extendedCaptions_[k], true);
        buttons.push_back(extendedButtons_[k]);
    }

    const SIZE textSize = textItem.MeasureText(text);
    const int unit = ScreenMaxCharWidth();
    const int lines = unit > 0 ? textSize.cy / unit : 0;
    // Lines are counted in the screen font's widest character, which can be
    // taller than a line of the box's own font: the panel always takes the
    // whole text, with a margin above and below it.
    const int panelHeight = FindItem(kGroupingBase)->Height();
    const int extra = std::max<int>(lines < 4 ? 0 : 20 * lines - 60, textSize.cy + 2 * kPanelMargin - panelHeight);
    const SIZE skin = GetLayoutSize();
    const int width = skin.cx, height = skin.cy + extra;
    RECT work{};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    MoveWindow(work.left + (work.right - work.left - width) / 2, work.top + (work.bottom - work.top - height) / 2,
               width, height, true);
    // From here on the box is laid out for its own size, so that a later
    // rebuild at that size keeps every item where it is put now.
    size_ = SIZE{width, height};
    sized_ = true;

    CSkinWindowItem& panel = *FindItem(kGroupingBase);
    panel.SetItemRect(RECT{panel.X(), panel.Y(), panel.X() + panel.Width(), panel.Y() + panel.Height() + extra});

    CSkinWindowItem& icon = *FindItem(kIcon);
    const int iconOffset = icon.Width() > 0 ? icon.Width() + kIconGap : 0;
    icon.SetPosition(textItem.X(), textItem.Y() + (textItem.Height() - icon.Height()) / 2);
    const int textLeft = (width - textSize.cx) / 2 + iconOffset;
    const int textTop = panel.Y() + (panel.Height() - textSize.cy) / 2;
    textItem.SetItemRect(RECT{textLeft, textTop, textLeft + textSize.cx, textTop + textSize.cy});

    int right = width - kEdge;
    for (auto button = buttons.rbegin(); button != buttons.rend(); ++button) {
        const int buttonWidth = (*button)->Width(), buttonHeight = (*button)->Height();
        (*button)->SetItemRect(RECT{right - buttonWidth, height - kEdge - buttonHeight, right, height - kEdge});
        (*button)->SetVisible(true);
        right -= buttonWidth + kButtonGap;
    }

    SetLayoutRule(kText, kAnchorNear, kAnchorNear, kAnchorFar, kAnchorFar);
    for (CSkinWindowItemButton* button : buttons) {
        SetLayoutRule(button->GetId(), kAnchorNear, kAnchorFar, kAnchorNear, kAnchorFar);
    }
    const RECT client = GetClientRect();
    RedrawRect(client, false);
    batch.Commit();
}

int CSkinMessageBox::DoModal(HWND owner, const std::string& text, UINT type) {
    try {
        Build(owner, text, type);
    } catch (const std::exception&) {
        // A skin error has told the user already; like MessageBoxA, the box answers 0.
        if (GetHandle()) ::DestroyWindow(GetHandle());
        return 0;
    }
    // What the user was told and answered goes to the log, one line each:
    // support reads the message code from there.
    std::string line = text;
    std::replace_if(line.begin(), line.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    KILNLOG.Write(kLogInfo, "CSkinMessageBox::DoModal %s", line.c_str());
    const HWND box = GetHandle();
    ShowWindow(SW_SHOW);
    UpdateWindow();
    ::SetForegroundWindow(box);
    ::MessageBeep(type & 0xF0);
    lib::wfc::RunModalLoop(box, owner, done_);
    if (::IsWindow(box)) ::DestroyWindow(box);
    KILNLOG.Write(kLogInfo, "CSkinMessageBox::DoModal answer %d", result_);
    return result_;
}

void CSkinMessageBox::End(int result) {
    result_ = result;
    done_ = true;
    PostMessage(WM_NULL, 0, 0);
    ::SetWindowPos(GetHandle(), nullptr, 0, 0, 0, 0,
                   SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CSkinMessageBox::OnCommand(UINT id, UINT code, HWND control) {
    const int item = static_cast<int>(id);
    if (item >= kExtendedButtonBase && item < kExtendedButtonBase + static_cast<int>(extendedButtons_.size())) {
        End(-(item - kExtendedButtonBase + 1));
    } else if (item == kCloseButton || (item >= kOkButton && item <= kRetryButton)) {
        End(ResultOf(item));
    } else {
        MessageBoxWindowBase::OnCommand(id, code, control);
    }
}

void CSkinMessageBox::OnClose() { End(result_ != 0 ? result_ : IDCANCEL); }

void CSkinMessageBox::OnDestroy() {
    // A box destroyed from outside leaves its loop too.
    done_ = true;
    PostMessage(WM_NULL, 0, 0);
    MessageBoxWindowBase::OnDestroy();
}

void CSkinMessageBox::OnActivate(UINT state, HWND otherWindow) {
    ::SetLayeredWindowAttributes(GetHandle(), 0, 255, LWA_ALPHA);
    MessageBoxWindowBase::OnActivate(state, otherWindow);
}

LRESULT CSkinMessageBox::OnNcHitTest(int x, int y) {
    POINT point{x, y};
    ::ScreenToClient(GetHandle(), &point);
    if (!ItemAt(point)) return HTCAPTION;
    return MessageBoxWindowBase::OnNcHitTest(x, y);
}

UINT CSkinMessageBox::GetFrameOverlayMessage() { return WM_APP; }

SIZE CSkinMessageBox::GetLayoutSize() { return sized_ ? size_ : MessageBoxWindowBase::GetLayoutSize(); }

}  // namespace ui
