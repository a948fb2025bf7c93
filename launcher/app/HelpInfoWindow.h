#pragma once
// The popup below the launch window that names the program an application
// button starts and what it does: borderless, semi-transparent, with an arrow
// pointing up at the button. It never takes the activation, and it goes as
// soon as the pointer touches it (its owner deletes it).
#include <windows.h>

#include <string>

#include "ui/EndSessionWaitingWindow.h"
#include "ui/FrameOverlayWindowBase.h"
#include "ui/ResizableSkinWindow.h"
#include "ui/SkinDefinition.h"
#include "ui/WindowBase.h"

namespace ui {

class CSkinWindowItemStatic;
class CSkinWindowItemStaticImage;

using HelpInfoWindowBase = CFrameOverlayWindowBase<CEndSessionWaitingWindow<CResizableSkinWindow>>;

class CHelpInfoWindow : public HelpInfoWindowBase, public CWindowBase {
public:
    enum ItemId : int { kTextStaticApp = 1, kTextStaticHelp, kTextBackIcon, kFrameOverlay };
    static constexpr BYTE kAlpha = 242;
    static constexpr int kColumnCount = 5;
    static constexpr int kHelpCount = 3;
    // x of the arrow's centre by button column: the middle of the launch window's 72-pixel buttons.
    static constexpr int arrowColumns[kColumnCount] = {75, 132, 190, 247, 304};
    // Title and explanation by help index.
    static const char* const helpTitles[kHelpCount];
    static const char* const helpTexts[kHelpCount];

    explicit CHelpInfoWindow(HWND owner);
    ~CHelpInfoWindow() override;

    // Makes the popup, hidden, with its arrow over button column `column`
    // (0 to 4; any other column has no arrow). False when the skin or the
    // window could not be made (a skin error has been shown already).
    bool Create(int column);

    // Takes the texts of help index `index` (0 to 2) and goes below the owner's
    // screen rectangle, as tall as the explanation needs; `wide` picks the wide
    // popup. False, and nothing changes, for an index without texts.
    bool Place(int left, int top, int right, int bottom, int index, bool wide);
    // The same with any texts.
    void PlaceTexts(int left, int top, const std::string& title, const std::string& explanation, bool wide);

    void OnEndSession(bool ending, LPARAM reason) override;
    void OnMouseMove(UINT keys, int x, int y) override;
    UINT GetFrameOverlayMessage() override;

    HWND GetOwnerWindow() const noexcept { return ownerWindow; }

private:
    SkinDefinition definition_;
    CSkinWindowItemStatic* titleText = nullptr;
    CSkinWindowItemStatic* helpText = nullptr;
    CSkinWindowItemStaticImage* arrowIcon = nullptr;
    HWND ownerWindow;
};

}  // namespace ui
