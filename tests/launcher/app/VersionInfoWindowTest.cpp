// The version window with the shipped skin, over a launcher folder named
// "ソフト表示" that holds the launcher and the update manager but no title
// editor. The hidden hold runs on the test's own clock, and once for real.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>

#include "RavelinVersion.h"
#include "launcher/app/VersionInfoWindow.h"
#include "lib/AnsiText.h"
#include "lib/wfc/WorkArea.h"
#include "tests/launcher/app/AppWindowTestSupport.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/ScratchFolder.h"
#include "ui/SkinWindowItemStatic.h"

namespace {

using Version = ui::CVersionInfoWindow;
constexpr POINT kHoldSpot{60, 80};
constexpr POINT kMiddle{200, 90};
constexpr POINT kOffButton{2, 2};  // inside the window, outside the close button

// A version window whose hold timer runs on the test's clock.
class HeldVersionWindow : public Version {
public:
    using Version::Version;
    // Moves the clock on; a hold timer whose time has come fires, as the system's would.
    void Advance(UINT milliseconds) {
        now_ += milliseconds;
        if (armed && now_ - armedAt_ >= period_) SendMessage(WM_TIMER, kHoldTimer, 0);
    }
    bool armed = false;

protected:
    void StartHoldTimer(UINT milliseconds) override {
        armed = true;
        armedAt_ = now_;
        period_ = milliseconds;
    }
    void StopHoldTimer() override { armed = false; }

private:
    UINT now_ = 0, armedAt_ = 0, period_ = 0;
};

class VersionInfoWindowTest : public apptest::AppWindowTest {
protected:
    void SetUp() override {
        AppWindowTest::SetUp();
        const std::string folder = scratch_.path() + "ソフト表示\\";
        ::CreateDirectoryA(folder.c_str(), nullptr);
        ::CopyFileA(test::BesideSelf("Ravelin_Launcher.exe").c_str(), (folder + "Ravelin_Launcher.exe").c_str(), FALSE);
        ::CopyFileA(test::BesideSelf("versioned_1_2_0_0.exe").c_str(), (folder + "Ravelin_UpdateManager.exe").c_str(),
                    FALSE);
        launcher_ = lib::FromAnsi(folder + "Ravelin_Launcher.exe");
    }

    static std::string TextOf(Version& window, int id) {
        return static_cast<ui::CSkinWindowItemStatic*>(window.FindItem(id))->GetText();
    }
    static void Hold(HeldVersionWindow& window, POINT from, UINT held, POINT to) {
        apptest::Press(window.GetHandle(), from);
        window.Advance(held);
        apptest::Release(window.GetHandle(), to);
    }

    test::ScratchFolder scratch_;
    std::wstring launcher_;
};

TEST_F(VersionInfoWindowTest, ShowsTheLauncherVersionCentredAndOwned) {
    Version window(owner_, launcher_);
    ASSERT_TRUE(window.Create());
    const std::string version = RAVELIN_VERSION_TEXT;
    EXPECT_EQ("Ver." + version.substr(0, version.rfind('.')), TextOf(window, Version::kTextStatic));
    EXPECT_EQ("", TextOf(window, Version::kLauncherValue));
    EXPECT_FALSE(window.FindItem(Version::kLauncherLabel)->IsVisible());

    const HWND handle = window.GetHandle();
    char title[64] = "";
    ::GetWindowTextA(handle, title, sizeof title);
    EXPECT_STREQ("バージョン情報", title);
    const DWORD style = WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX;
    EXPECT_EQ(style, static_cast<DWORD>(::GetWindowLongA(handle, GWL_STYLE)) & (style | WS_VISIBLE | WS_CAPTION));
    EXPECT_EQ(0, ::GetWindowLongA(handle, GWL_EXSTYLE) & (WS_EX_LAYERED | WS_EX_TOPMOST));
    EXPECT_EQ(owner_, ::GetWindow(handle, GW_OWNER));
    const RECT rect = window.GetWindowRect(), work = lib::wfc::GetWorkArea();
    EXPECT_EQ(400, rect.right - rect.left);
    EXPECT_EQ(180, rect.bottom - rect.top);
    EXPECT_NEAR((work.left + work.right) / 2, (rect.left + rect.right) / 2, 1);
    EXPECT_NEAR((work.top + work.bottom) / 2, (rect.top + rect.bottom) / 2, 1);
}

TEST_F(VersionInfoWindowTest, FiveSecondsOnTheHiddenSpotShowTheVersionsAndTheReleaseDoesNotClose) {
    struct Case {
        POINT spot;
        UINT held;
        bool details;  // and so the window stays
    };
    const Case cases[] = {
        {kHoldSpot, 4000, false}, {kHoldSpot, 4999, false}, {kHoldSpot, 5000, true}, {{45, 66}, 5000, true},
        {{79, 100}, 5000, true},  {{44, 80}, 5000, false},  {{80, 80}, 5000, false}, {{60, 65}, 5000, false},
        {{60, 101}, 5000, false}, {kMiddle, 5000, false},
    };
    for (const Case& c : cases) {
        HeldVersionWindow window(owner_, launcher_);
        ASSERT_TRUE(window.Create());
        window.ShowWindow(SW_SHOW);
        Hold(window, c.spot, c.held, c.spot);
        const std::string where = std::to_string(c.spot.x) + "," + std::to_string(c.spot.y) + ", " +
                                  std::to_string(c.held) + " ms";
        EXPECT_EQ(c.details, window.AreDetailsShown()) << where;
        EXPECT_EQ(c.details, ::IsWindow(window.GetHandle()) != FALSE) << where;
        if (!c.details) continue;

        EXPECT_EQ(RAVELIN_VERSION_TEXT, TextOf(window, Version::kLauncherValue));
        EXPECT_EQ("1.2.0.0", TextOf(window, Version::kUpdateManagerValue));
        EXPECT_EQ("", TextOf(window, Version::kEditorValue));  // not installed
        // Each label ends 5 pixels left of the widest version shown, the missing one taking no room.
        auto& value = static_cast<ui::CSkinWindowItemStatic&>(*window.FindItem(Version::kUpdateManagerValue));
        const int widest = std::max(value.MeasureText("1.2.0.0").cx, value.MeasureText(RAVELIN_VERSION_TEXT).cx);
        for (int id : {Version::kLauncherLabel, Version::kUpdateManagerLabel, Version::kEditorLabel}) {
            EXPECT_TRUE(window.FindItem(id)->IsVisible());
            EXPECT_EQ(std::make_tuple(384 - widest - 25, 384 - widest - 5),
                      std::make_tuple(window.FindItem(id)->GetRect().left, window.FindItem(id)->GetRect().right));
        }
        // Shown once: the spot holds nothing more, and the next click closes.
        apptest::Press(window.GetHandle(), kHoldSpot);
        EXPECT_FALSE(window.armed);
        apptest::Release(window.GetHandle(), kHoldSpot);
        EXPECT_FALSE(::IsWindow(window.GetHandle()));
    }
}

TEST_F(VersionInfoWindowTest, AnyReleaseEndsTheHold) {
    // Released off the button before the time: no click, and no versions later.
    HeldVersionWindow early(owner_, launcher_);
    ASSERT_TRUE(early.Create());
    Hold(early, kHoldSpot, 1000, kOffButton);
    early.Advance(5000);
    EXPECT_FALSE(early.AreDetailsShown());
    EXPECT_TRUE(::IsWindow(early.GetHandle()));

    // Released off the button after the versions came: the next click closes.
    HeldVersionWindow late(owner_, launcher_);
    ASSERT_TRUE(late.Create());
    Hold(late, kHoldSpot, 5000, kOffButton);
    EXPECT_TRUE(late.AreDetailsShown());
    apptest::Click(late.GetHandle(), kMiddle);
    EXPECT_FALSE(::IsWindow(late.GetHandle()));
}

TEST_F(VersionInfoWindowTest, TheRealHoldTimerShowsTheVersionsAfterFiveSeconds) {
    Version window(owner_, launcher_);
    ASSERT_TRUE(window.Create());
    window.ShowWindow(SW_SHOW);
    const DWORD start = ::GetTickCount();
    apptest::Press(window.GetHandle(), kHoldSpot);
    ASSERT_TRUE(skintest::PumpUntil([&] { return window.AreDetailsShown(); }, 8000));
    EXPECT_GE(::GetTickCount() - start, 4900u);
    apptest::Release(window.GetHandle(), kHoldSpot);
    EXPECT_TRUE(::IsWindow(window.GetHandle()));
}

TEST_F(VersionInfoWindowTest, SystemCloseAndTheSessionEndCloseIt) {
    Version closed(owner_, launcher_);
    ASSERT_TRUE(closed.Create());
    ::PostMessageA(closed.GetHandle(), WM_COMMAND, SC_CLOSE, 0);
    skintest::PumpPending();
    EXPECT_FALSE(::IsWindow(closed.GetHandle()));

    for (const BOOL ending : {FALSE, TRUE}) {
        apptest::OwnerMessages().clear();
        Version window(owner_, launcher_);
        ASSERT_TRUE(window.Create());
        const HWND handle = window.GetHandle();
        apptest::SendBounded(handle, WM_ENDSESSION, ending, ENDSESSION_LOGOFF);
        // Gone before the message returns, and the owner told in turn.
        EXPECT_EQ(!ending, ::IsWindow(handle) != FALSE);
        skintest::PumpPending();
        ASSERT_EQ(ending ? 1u : 0u, apptest::OwnerMessages().size());
        if (ending) {
            const MSG& told = apptest::OwnerMessages()[0];
            EXPECT_EQ(std::make_tuple(static_cast<UINT>(WM_ENDSESSION), static_cast<WPARAM>(TRUE),
                                      static_cast<LPARAM>(ENDSESSION_LOGOFF)),
                      std::make_tuple(told.message, told.wParam, told.lParam));
        }
    }
}

// The launch window's menu command: modal over the owner until a click closes it.
HWND modalOwner;
bool ownerWasDisabled;
void CALLBACK ClickVersionWindow(HWND, UINT, UINT_PTR timer, DWORD) {
    const HWND version = ::FindWindowA(nullptr, "バージョン情報");
    if (!version || !::IsWindowVisible(version)) return;
    ::KillTimer(nullptr, timer);
    ownerWasDisabled = !::IsWindowEnabled(modalOwner);
    apptest::Click(version, kMiddle);
}
void CALLBACK DestroyVersionWindow(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    if (const HWND version = ::FindWindowA(nullptr, "バージョン情報")) ::DestroyWindow(version);
}

TEST_F(VersionInfoWindowTest, RunsModalOverTheLaunchWindowUntilClicked) {
    modalOwner = owner_;
    ownerWasDisabled = false;
    const UINT_PTR click = ::SetTimer(nullptr, 0, 50, ClickVersionWindow);
    const UINT_PTR watchdog = ::SetTimer(nullptr, 0, 10000, DestroyVersionWindow);
    EXPECT_TRUE(ui::ShowVersionInfoWindow(owner_, launcher_));
    ::KillTimer(nullptr, click);
    ::KillTimer(nullptr, watchdog);
    EXPECT_TRUE(ownerWasDisabled);
    EXPECT_TRUE(::IsWindowEnabled(owner_));
    EXPECT_EQ(nullptr, ::FindWindowA(nullptr, "バージョン情報"));
}

}  // namespace
