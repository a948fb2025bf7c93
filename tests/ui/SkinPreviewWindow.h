#pragma once
// Stand-ins for the launcher's own windows, made from the shipped skin files
// with the item kinds and the placements those windows give their blocks, so
// that their look can be pictured and timed before the real window classes
// exist. Each preview is created hidden at (0, 0) with its layout size.
#include <windows.h>

#include <array>
#include <string>

#include "lib/wfc/DIB.h"
#include "ui/EndSessionWaitingWindow.h"
#include "ui/FrameOverlayWindowBase.h"
#include "ui/ResizableSkinWindow.h"
#include "ui/SkinDefinition.h"

namespace skintest {

enum class PreviewKind {
    Launch,         // LaunchWindow.txt, 400 x 116
    SilentInstall,  // SilentInstallWindow.txt, 480 x 198
    VersionInfo,    // VersionInfoWindow.txt, 400 x 180
    HelpInfo,       // HelpInfoWindow.txt, 388 wide, as tall as its text
};

using PreviewWindowBase = ui::CFrameOverlayWindowBase<ui::CEndSessionWaitingWindow<ui::CResizableSkinWindow>>;

class CSkinPreviewWindow : public PreviewWindowBase {
public:
    // Item ids, unique over all kinds.
    enum ItemId : int {
        kUpdateButton = 1, kButtonClassFive, kBackGrayImage, kTitleImage, kTitleIcon, kMenuButton, kDebugText,
        kFrameOverlay,
        kBaseGroup = 20, kImageBack, kImageBar, kApplicationIcon, kCancelButton, kMessageText, kTimeText,
        kTextStatic = 40, kLauncherLabel, kUpdateManagerLabel, kEditorLabel, kLauncherValue, kUpdateManagerValue,
        kEditorValue,
        kTextApp = 60, kTextHelp, kArrow,
        kCloseButton = 80, kMinimizeButton,
    };
    // Longest progress bar, at 100 %.
    static constexpr int kProgressWidth = 280;

    // Loads the kind's skin and adds its blocks; the help popup's arrow
    // points at button column `column` (0 to 4).
    explicit CSkinPreviewWindow(PreviewKind kind, int column = 0);
    ~CSkinPreviewWindow() override;

    // Creates the window, hidden, with the launcher window's styles.
    void Make();

    // Silent install: the message centred in its panel, the action button's
    // caption and the progress bar and percentage at `percent`.
    void ShowProgress(const std::string& message, const std::string& button, int percent);
    // Version information: "Ver." and the launcher's version; with
    // `details`, the three program versions with their labels beside them.
    void ShowVersions(const std::string& version, const std::array<std::string, 3>* details);
    // Help popup: the title and explanation of help index `index`, the
    // popup sized to them (wide, as the launch window asks for it).
    void ShowHelp(int index);

    UINT GetFrameOverlayMessage() override { return WM_APP + 1; }
    PreviewKind Kind() const noexcept { return kind_; }

    // The help texts by help index (title, explanation).
    static const char* const kHelpTitles[3];
    static const char* const kHelpTexts[3];

private:
    void AddLaunchItems();
    void AddSilentInstallItems();
    void AddVersionInfoItems();
    void AddHelpInfoItems(int column);

    PreviewKind kind_;
    ui::SkinDefinition definition_;
};

// The window's back buffer composed anew with the active window's look
// (caption buttons not greyed), as it is on screen while the window has the
// focus.
const lib::wfc::CDIB& ComposeActiveLook(ui::CSkinWindow& window);

}  // namespace skintest
