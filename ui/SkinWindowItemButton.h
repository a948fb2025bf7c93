#pragma once
// The push button, check box and radio button of the skinned windows. It
// paints itself from skin images chosen by its state, follows the mouse
// through the window's item dispatch and reports what happened through the
// owner's NotifyCommand (code 0 is the click the window turns into WM_COMMAND).
#include <windows.h>

#include <array>
#include <string>

#include "lib/wfc/DIB.h"
#include "lib/wfc/Font.h"
#include "ui/SkinDefinition.h"
#include "ui/SkinWindowItem.h"

namespace ui {

class CSkinImageList;

// Control codes a window sends to the button item it holds (OnItemCommand).
enum SkinButtonCommand : int {
    kButtonSetChecked = 100000001,     // wParam: 0 or 1
    kButtonGetChecked = 100000002,     // returns checked
    kButtonGetToggleAllowed = 100000003,
    kButtonSetBlinking = 100000004,    // wParam: 0 or 1
    kButtonSetToggleMode = 100000005,  // wParam: 0 plain, 1 the click flips checked
};

// What a button tells its owner (NotifyCommand codes).
enum SkinButtonNotification : int {
    kButtonClicked = 0,
    kButtonPushedIn = 1,   // while pressed, the pointer came back over the button
    kButtonPushedOut = 2,  // while pressed, the pointer left it; also a pushed release
    kButtonDoubleClicked = 3,
    kButtonReleased = 4,   // end of every left-button release, cancelled ones too
    kButtonRightDown = 5,
    kButtonRightUp = 6,
    kButtonRightDoubleClicked = 7,
    kButtonMouseMove = 14,
    kButtonMouseLeave = 15,
};

class CSkinWindowItemButton : public CSkinWindowItem {
public:
    // Validates and reads the block (a bad block is a skin error, thrown as
    // CSkinWindowException) and acquires the images into `images`.
    CSkinWindowItemButton(ISkinWindowItemAccessor& owner, int id, const SkinItemDefinition& definition,
                          CSkinImageList& images);
    ~CSkinWindowItemButton() override;

    std::string GetToolTipText() const override;
    bool IsHitTarget() const override;
    int OnItemCommand(int code, WPARAM wParam, LPARAM lParam) override;
    void OnMouseMove(int x, int y) override;
    bool OnLButtonDown(int x, int y) override;
    bool OnLButtonDblClk(int x, int y) override;
    void OnLButtonUp(int x, int y) override;
    void OnLButtonCancel(int x, int y) override;
    bool OnRButtonDown(int x, int y) override;
    bool OnRButtonDblClk(int x, int y) override;
    void OnRButtonUp(int x, int y) override;
    void OnMouseLeave() override;
    bool OnSetCursor(int x, int y) override;
    void OnTimer(DWORD tickCount) override;
    void Paint() override;
    // Takes the rectangle's position and width (the height stays); the width
    // is also the drawn width, so that a sliced button stretches with layout.
    void SetItemRect(const RECT& rect) override;
    void OnEnabledChanged() override;

    // Sets the caption; with autoSize the button becomes as wide as the
    // caption plus the left and right slices.
    void SetText(const std::string& text, bool autoSize);
    const std::string& GetText() const noexcept { return text_; }
    // DrawTextA flags of the caption (DT_CENTER | DT_VCENTER | DT_SINGLELINE at first).
    void SetTextFormat(UINT format);

    // The window's inactive look for its caption buttons.
    void SetShowDisabledLook(bool show);
    void SetHandCursor(bool hand) noexcept { handCursor_ = hand; }
    // Constant opacity 0..255 of the button over the window while it is
    // neither hot nor pressed.
    void SetAlpha(int alpha);
    void SetToggleAllowed(bool allowed) noexcept { toggleAllowed_ = allowed; }

    bool IsChecked() const noexcept { return checked_; }
    bool IsPressed() const noexcept { return pressed_; }
    bool IsPushed() const noexcept { return pushed_; }
    bool IsHot() const noexcept { return hot_; }
    int GetDrawnWidth() const noexcept { return drawnWidth_; }

protected:
    // Images by index: the four states, the two check marks, the two disabled looks.
    enum ImageIndex {
        kNormal = 0,
        kHotNormal = 1,
        kPush = 2,
        kHotPush = 3,
        kMark = 4,
        kMarkChecked = 5,
        kDisabled = 6,
        kDisabledChecked = 7,
        kImageCount = 8
    };
    struct ImageRecord {
        std::string name;  // empty: no image
        RECT source{};
    };

    bool Inside(int x, int y) const noexcept { return x >= 0 && y >= 0 && x < Width() && y < Height(); }
    void Notify(int code);
    // Ends a press: at a release (click true) or when the capture is lost.
    virtual void EndPress(int x, int y, bool click);
    // Invalidates only when the drawn state changed.
    void SetDrawnState(bool pushed, bool hot);
    // Stores checked, redraws and has the window refresh the tooltip, whose text follows it.
    void StoreChecked(bool checked);

    bool pressed_ = false;
    bool pushed_ = false;
    bool hot_ = false;
    bool checked_ = false;
    bool toggleAllowed_ = true;

private:
    // Everything the off-screen picture of the button is drawn from that can
    // change after construction; the rest is fixed by the skin.
    struct PictureKey {
        int width = 0;
        int height = 0;
        int drawnWidth = 0;
        int state = -1;
        const ImageRecord* mark = nullptr;
        bool pushed = false;
        std::string caption;
        COLORREF color = 0;
        UINT format = 0;
        bool operator==(const PictureKey& other) const;
    };

    int StateIndex() const noexcept;
    const ImageRecord* MarkImage() const noexcept;
    COLORREF CaptionColor(int state) const noexcept;
    HFONT CaptionFont();
    // Draws the off-screen picture for `key` (background, mark, caption).
    void DrawPicture(const PictureKey& key);
    void DrawBackground(lib::wfc::CDIB& target, const lib::wfc::CDIB& source, const RECT& from) const;
    void DrawCaption(lib::wfc::CDIB& target, const std::string& text, int state);

    std::array<ImageRecord, kImageCount> images_{};
    std::string toolTip_;
    std::string toolTipChecked_;
    std::string text_;
    std::string textChecked_;
    bool hasTextChecked_ = false;
    LOGFONTA logFont_{};
    lib::wfc::CFont font_;
    bool smoothText_ = false;
    UINT format_ = DT_CENTER | DT_VCENTER | DT_SINGLELINE;

    COLORREF textColor_ = 0;
    COLORREF textColorChecked_ = 0;
    bool perStateColors_ = false;
    COLORREF textColorNormal_ = 0;
    COLORREF textColorDisable_ = 0;
    COLORREF textColorPush_ = 0;
    COLORREF textColorHotNormal_ = 0;
    COLORREF textColorHotPush_ = 0;
    bool hasShadow_ = false;
    COLORREF shadowColor_ = 0;
    int shadowOffset_ = 0;

    POINT pushShift_{};
    int drawnWidth_ = 0;  // 0: not sliced
    int divideLeft_ = 0;
    int divideMiddle_ = 0;  // read but not used in drawing
    int divideRight_ = 0;
    int textIndent_ = 0;
    int autoDisable_ = 0;  // stored; nothing depends on it

    bool blinking_ = false;
    bool blinkOn_ = true;
    int toggleMode_ = 0;
    bool showDisabledLook_ = false;
    bool handCursor_ = true;
    int alpha_ = 255;

    // The picture is drawn again only when its key changes: most composes
    // (a window's activation, a progress step) leave a button as it was.
    lib::wfc::CDIB picture_;
    PictureKey pictureKey_;
    bool pictureValid_ = false;
};

}  // namespace ui
