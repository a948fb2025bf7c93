// The help popup with the shipped skin: where it goes, what it says, how tall
// it grows, and how it goes away.
#include <gtest/gtest.h>
#include <windows.h>

#include "launcher/app/HelpInfoWindow.h"
#include "tests/launcher/app/AppWindowTestSupport.h"
#include "ui/SkinWindowItemStatic.h"

namespace {

using Help = ui::CHelpInfoWindow;

class HelpInfoWindowTest : public apptest::AppWindowTest {
protected:
    const std::string& TextOf(Help& popup, int id) {
        return static_cast<ui::CSkinWindowItemStatic*>(popup.FindItem(id))->GetText();
    }
};

TEST_F(HelpInfoWindowTest, SitsBelowTheOwnerWithItsArrowOverTheButtonColumn) {
    const int arrowCentres[] = {75, 132, 190, 247, 304};
    const char* const titles[] = {"Vantorマネージャーを起動します。", "MSVタイトルエディターを起動します。",
                                  "アップデートマネージャーを起動します。"};
    const char* const texts[] = {"Vantorユニットで撮影した映像の再生を行います。",
                                 "ミュージックサーバーに録音した楽曲情報の編集などを行います。",
                                 "ナビゲーションの地図更新データのダウンロードを行います。"};
    for (int column = 0; column < 5; ++column) {
        const int index = column % 3;
        Help popup(owner_);
        ASSERT_TRUE(popup.Create(column));
        ASSERT_TRUE(popup.Place(100, 50, 500, 166, index, true));
        // 7 right of the owner's left edge, 99 below its top; every explanation
        // is one line in the wide popup: 20 pixels and 40.
        EXPECT_EQ(std::make_tuple(107, 149, 107 + 388, 149 + 60), apptest::Edges(popup.GetWindowRect()));
        const int x = arrowCentres[column];
        EXPECT_EQ(std::make_tuple(x - 7, 0, x + 8, 12), apptest::Edges(popup.FindItem(Help::kTextBackIcon)->GetRect()))
            << "column " << column;
        EXPECT_EQ(titles[index], TextOf(popup, Help::kTextStaticApp));
        EXPECT_EQ(texts[index], TextOf(popup, Help::kTextStaticHelp));

        const HWND window = popup.GetHandle();
        EXPECT_EQ(owner_, ::GetWindow(window, GW_OWNER));
        EXPECT_TRUE(::GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_LAYERED);
        EXPECT_EQ(static_cast<LONG>(WS_POPUP | WS_CLIPCHILDREN),
                  ::GetWindowLongA(window, GWL_STYLE) & (WS_POPUP | WS_CLIPCHILDREN | WS_CAPTION | WS_VISIBLE));
        BYTE alpha = 0;
        ASSERT_TRUE(::GetLayeredWindowAttributes(window, nullptr, &alpha, nullptr));
        EXPECT_EQ(242, alpha);
        EXPECT_EQ(static_cast<UINT>(WM_APP + 1), popup.GetFrameOverlayMessage());
    }
}

TEST_F(HelpInfoWindowTest, EachExplanationLineAddsTwentyPixels) {
    struct Case {
        const char* text;
        bool wide;
        int width, height, textWidth;
    };
    const Case cases[] = {
        {"一行の説明", true, 388, 60, 370},
        {"一行目\r\n二行目", true, 388, 80, 370},
        {"一行目\\r\\n二行目\\r\\n三行目", true, 388, 100, 370},
        {"一行目\r\n二行目", false, 316, 80, 298},
    };
    for (const Case& c : cases) {
        Help popup(owner_);
        ASSERT_TRUE(popup.Create(3));
        popup.PlaceTexts(10, 20, "題", c.text, c.wide);
        const RECT rect = popup.GetWindowRect();
        EXPECT_EQ(std::make_tuple(17, 119, 17 + c.width, 119 + c.height), apptest::Edges(rect)) << c.text;
        EXPECT_EQ(c.textWidth, popup.FindItem(Help::kTextStaticHelp)->Width()) << c.text;
    }
}

TEST_F(HelpInfoWindowTest, UnknownColumnsAndIndexesChangeNothing) {
    Help popup(owner_);
    ASSERT_TRUE(popup.Create(5));
    EXPECT_FALSE(popup.FindItem(Help::kTextBackIcon)->IsVisible());
    const RECT before = popup.GetWindowRect();
    EXPECT_FALSE(popup.Place(0, 0, 400, 116, 3, true));
    EXPECT_FALSE(popup.Place(0, 0, 400, 116, -1, false));
    EXPECT_EQ(apptest::Edges(before), apptest::Edges(popup.GetWindowRect()));
    EXPECT_EQ("", TextOf(popup, Help::kTextStaticApp));
}

TEST_F(HelpInfoWindowTest, ThePointerOnThePopupAsksTheOwnerToCloseIt) {
    Help popup(owner_);
    ASSERT_TRUE(popup.Create(1));
    popup.ShowWindow(SW_SHOWNA);
    // Appearing under the pointer may count as a move already.
    skintest::PumpPending();
    apptest::OwnerMessages().clear();
    ::PostMessageA(popup.GetHandle(), WM_MOUSEMOVE, 0, skintest::PointParam(30, 30));
    skintest::PumpPending();
    ASSERT_EQ(1u, apptest::OwnerMessages().size());
    EXPECT_EQ(0x8006u, apptest::OwnerMessages()[0].message);
    EXPECT_EQ(1u, apptest::OwnerMessages()[0].wParam);
}

TEST_F(HelpInfoWindowTest, SessionEndClosesThePopupBeforeItReturns) {
    for (const BOOL ending : {FALSE, TRUE}) {
        Help popup(owner_);
        ASSERT_TRUE(popup.Create(0));
        const HWND window = popup.GetHandle();
        const DWORD start = ::GetTickCount();
        apptest::SendBounded(window, WM_ENDSESSION, ending, ENDSESSION_LOGOFF);
        EXPECT_LT(::GetTickCount() - start, 4000u);
        EXPECT_EQ(!ending, ::IsWindow(window) != FALSE);
    }
}

}  // namespace
