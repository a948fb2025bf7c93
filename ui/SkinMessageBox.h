#pragma once
// A skinned, modal stand-in for MessageBoxA: the same type flags and result
// codes, a size that follows the text, only the buttons the type asks for,
// laid out from the right, and a modal loop of its own. The plain box and
// the one whose first button opens the online help differ only in their
// skin file and in what their buttons answer.
#include <windows.h>

#include <string>
#include <vector>

#include "ui/EndSessionWaitingWindow.h"
#include "ui/FrameOverlayWindowBase.h"
#include "ui/ResizableSkinWindow.h"
#include "ui/SkinDefinition.h"

namespace ui {

class CSkinWindowItemButton;
class CSkinWindowItemStatic;

using MessageBoxWindowBase = CFrameOverlayWindowBase<CEndSessionWaitingWindow<CResizableSkinWindow>>;

class CSkinMessageBox : public MessageBoxWindowBase {
public:
    // Item ids; extended buttons count up from kExtendedButtonBase.
    enum ItemId : int {
        kCloseButton = 1, kGroupingBase, kText, kOkButton, kCancelButton, kYesButton, kNoButton, kRetryButton,
        kIcon, kFrameOverlay, kExtendedButtonBase = 100
    };
    static constexpr COLORREF kTextColor = RGB(40, 40, 40);
    static constexpr COLORREF kWarningTextColor = RGB(224, 0, 88);

    ~CSkinMessageBox() override;

    // One more button after the standard ones; its result is -(its index + 1).
    void AddExtendedButton(const std::string& caption);
    // Creates, sizes and lays out the box over `owner` (may be null), not yet shown.
    void Build(HWND owner, const std::string& text, UINT type);
    // Shows the box and runs its modal loop until a button, closing or the
    // window's destruction ends it; returns the result, 0 when the box was
    // destroyed without one or could not be made.
    int DoModal(HWND owner, const std::string& text, UINT type);
    int GetResult() const noexcept { return result_; }

    void OnCommand(UINT id, UINT code, HWND control) override;
    void OnClose() override;
    void OnDestroy() override;
    void OnActivate(UINT state, HWND otherWindow) override;
    // Any spot without an item drags the box.
    LRESULT OnNcHitTest(int x, int y) override;
    UINT GetFrameOverlayMessage() override;
    // Once the box has sized itself to its text, its layout is that size.
    SIZE GetLayoutSize() override;

protected:
    CSkinMessageBox(bool topmost, const char* skinFile);
    // The result of a standard button or the close button; the help box
    // opens its page here.
    virtual int ResultOf(int itemId) = 0;

private:
    // Stores the result, leaves the modal loop and hides the box.
    void End(int result);
    void LayOut(const std::string& text, UINT type);

    bool topmost_;
    const char* skinFile_;
    SkinDefinition definition_;
    int result_ = 0;
    bool done_ = false;
    bool sized_ = false;
    SIZE size_{};
    std::vector<std::string> extendedCaptions_;
    std::vector<CSkinWindowItemButton*> extendedButtons_;
};

}  // namespace ui
