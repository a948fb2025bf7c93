// The skinned message boxes with the shipped skins: buttons by type and
// their results through real clicks in the modal loop, sizing to the text,
// text colours, and boxes that end because their owner or the thread goes.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "launcher/update/WebBrowseHelper.h"
#include "tests/ui/SkinWindowTestSupport.h"
#include "ui/MessageBoxWindow.h"
#include "ui/MessageBoxWindowForURL.h"
#include "ui/SkinWindowItemStatic.h"

namespace {

using Box = ui::CSkinMessageBox;

// The visible standard and extended buttons of a built box, left to right.
std::vector<int> VisibleButtons(ui::CSkinMessageBox& box) {
    std::vector<ui::CSkinWindowItem*> buttons;
    for (const auto& item : box.Items()) {
        const int id = item->GetId();
        const bool button = (id >= Box::kOkButton && id <= Box::kRetryButton) || id >= Box::kExtendedButtonBase;
        if (button && item->IsVisible()) buttons.push_back(item.get());
    }
    std::sort(buttons.begin(), buttons.end(), [](auto* a, auto* b) { return a->X() < b->X(); });
    std::vector<int> ids;
    for (auto* button : buttons) ids.push_back(button->GetId());
    return ids;
}

// What the modal loop will run once the box is on screen; a watchdog closes
// a box that is still there after ten seconds, so no test can hang.
std::function<void(ui::CSkinMessageBox&)> pendingAction;
ui::CSkinMessageBox* runningBox = nullptr;

void CALLBACK ActInLoop(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    if (runningBox && runningBox->GetHandle() && ::IsWindowVisible(runningBox->GetHandle()) && pendingAction) {
        auto action = std::move(pendingAction);
        pendingAction = nullptr;
        action(*runningBox);
    }
}

void CALLBACK Watchdog(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    if (runningBox && runningBox->GetHandle()) ::PostMessageA(runningBox->GetHandle(), WM_CLOSE, 0, 0);
}

int RunModal(ui::CSkinMessageBox& box, HWND owner, UINT type, std::function<void(ui::CSkinMessageBox&)> action,
             const std::string& text = "この操作を続けますか？") {
    runningBox = &box;
    pendingAction = std::move(action);
    const UINT_PTR act = ::SetTimer(nullptr, 0, 50, ActInLoop);
    const UINT_PTR watchdog = ::SetTimer(nullptr, 0, 10000, Watchdog);
    const int result = box.DoModal(owner, text, type);
    ::KillTimer(nullptr, act);
    ::KillTimer(nullptr, watchdog);
    runningBox = nullptr;
    return result;
}

// A press and release at the middle of the item, as the mouse would make them.
void Click(ui::CSkinMessageBox& box, int id) {
    const RECT rect = box.FindItem(id)->GetRect();
    const LPARAM point = skintest::PointParam((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    ::PostMessageA(box.GetHandle(), WM_MOUSEMOVE, 0, point);
    ::PostMessageA(box.GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, point);
    ::PostMessageA(box.GetHandle(), WM_LBUTTONUP, 0, point);
}

std::vector<std::string> openedUrls;
HINSTANCE WINAPI RecordShellExecute(HWND, LPCSTR, LPCSTR file, LPCSTR, LPCSTR, INT) {
    openedUrls.push_back(file ? file : "");
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(42));
}

class MessageBoxes : public ::testing::Test {
protected:
    void SetUp() override { skintest::EnsureFramework(); }
};

}  // namespace

TEST_F(MessageBoxes, EachTypeShowsItsButtonsFromTheRightEdge) {
    const std::pair<UINT, std::vector<int>> types[] = {
        {MB_OK, {Box::kOkButton}},
        {MB_OKCANCEL, {Box::kOkButton, Box::kCancelButton}},
        {MB_YESNOCANCEL, {Box::kYesButton, Box::kNoButton, Box::kCancelButton}},
        {MB_YESNO, {Box::kYesButton, Box::kNoButton}},
        {MB_RETRYCANCEL, {Box::kRetryButton, Box::kCancelButton}},
        {MB_ABORTRETRYIGNORE, {}},
        {MB_CANCELTRYCONTINUE, {}},
    };
    for (const auto& [type, expected] : types) {
        ui::CMessageBoxWindow box(true);
        box.Build(nullptr, "確認", type);
        EXPECT_EQ(expected, VisibleButtons(box)) << "type " << type;
        const RECT client = box.GetClientRect();
        int right = client.right - 10;
        const std::vector<int> ids = VisibleButtons(box);
        for (auto id = ids.rbegin(); id != ids.rend(); ++id) {
            const RECT rect = box.FindItem(*id)->GetRect();
            EXPECT_EQ(right, rect.right) << "type " << type;
            EXPECT_EQ(client.bottom - 10, rect.bottom) << "type " << type;
            right = rect.left - 5;
        }
        EXPECT_TRUE(::GetWindowLongA(box.GetHandle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
        ::DestroyWindow(box.GetHandle());
    }
}

TEST_F(MessageBoxes, ClickedButtonsAnswerLikeMessageBoxA) {
    struct Case {
        bool forUrl;
        UINT type;
        int button;
        int result;
        bool opensHelp;
    };
    const Case cases[] = {
        {false, MB_OKCANCEL, Box::kOkButton, IDOK, false},
        {false, MB_OKCANCEL, Box::kCancelButton, IDCANCEL, false},
        {false, MB_YESNOCANCEL, Box::kYesButton, IDYES, false},
        {false, MB_YESNO, Box::kNoButton, IDNO, false},
        {false, MB_RETRYCANCEL, Box::kRetryButton, IDRETRY, false},
        {false, MB_ABORTRETRYIGNORE, Box::kCloseButton, IDCANCEL, false},
        {true, MB_OKCANCEL, Box::kOkButton, IDOK, true},
        {true, MB_OKCANCEL, Box::kCancelButton, IDOK, false},
        {true, MB_ABORTRETRYIGNORE, Box::kCloseButton, IDOK, false},
        {true, MB_YESNO, Box::kYesButton, IDYES, false},
    };
    const update::ShellExecuteFunction saved = update::ReplaceShellExecute(RecordShellExecute);
    for (const Case& c : cases) {
        openedUrls.clear();
        ui::CMessageBoxWindow plain(true);
        ui::CMessageBoxWindowForURL help(true);
        ui::CSkinMessageBox& box = c.forUrl ? static_cast<ui::CSkinMessageBox&>(help) : plain;
        const int button = c.button;
        EXPECT_EQ(c.result, RunModal(box, nullptr, c.type, [button](ui::CSkinMessageBox& shown) { Click(shown, button); }))
            << (c.forUrl ? "help box, " : "") << "button " << c.button;
        EXPECT_EQ(c.opensHelp ? 1u : 0u, openedUrls.size());
        if (c.opensHelp && !openedUrls.empty()) {
            EXPECT_NE(std::string::npos, openedUrls.front().find("/navigation/ravelin/web_help/index.html"));
        }
        EXPECT_FALSE(::IsWindow(box.GetHandle()));
    }
    update::ReplaceShellExecute(saved);

    ui::CMessageBoxWindow closed(true);
    EXPECT_EQ(IDCANCEL, RunModal(closed, nullptr, MB_ABORTRETRYIGNORE,
                                 [](ui::CSkinMessageBox& shown) { ::PostMessageA(shown.GetHandle(), WM_CLOSE, 0, 0); }));

    ui::CMessageBoxWindow extended(true);
    extended.AddExtendedButton("保存する");
    extended.AddExtendedButton("保存しない");
    EXPECT_EQ(-2, RunModal(extended, nullptr, MB_OK, [](ui::CSkinMessageBox& shown) {
                  EXPECT_EQ((std::vector<int>{Box::kOkButton, Box::kExtendedButtonBase, Box::kExtendedButtonBase + 1}),
                            VisibleButtons(shown));
                  Click(shown, Box::kExtendedButtonBase + 1);
              }));
}

TEST_F(MessageBoxes, TallTextsGrowTheBoxAndTheLayoutHoldsOnRebuild) {
    ui::CMessageBoxWindow oneLine(true);
    oneLine.Build(nullptr, "一行だけのメッセージです。", MB_OK);
    EXPECT_EQ(120, oneLine.GetClientRect().bottom);
    ::DestroyWindow(oneLine.GetHandle());

    ui::CMessageBoxWindow tall(true);
    tall.Build(nullptr, "一行目\\r\\n二行目\\r\\n三行目\\r\\n四行目\\r\\n五行目\\r\\n六行目\\r\\n七行目", MB_OKCANCEL);
    const RECT client = tall.GetClientRect();
    const int extra = client.bottom - 120;
    EXPECT_GT(extra, 0);
    const RECT panel = tall.FindItem(Box::kGroupingBase)->GetRect();
    EXPECT_EQ(54 + extra, panel.bottom - panel.top);
    const RECT text = tall.FindItem(Box::kText)->GetRect();
    EXPECT_GE(text.top, panel.top + 8);
    EXPECT_LE(text.bottom, panel.bottom - 8);

    // Activation rebuilds the buffer and lays the items out again: nothing may move.
    const RECT before = tall.FindItem(Box::kCancelButton)->GetRect();
    ::SendMessageA(tall.GetHandle(), WM_ACTIVATE, WA_ACTIVE, 0);
    ::SendMessageA(tall.GetHandle(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    const RECT after = tall.FindItem(Box::kCancelButton)->GetRect();
    EXPECT_EQ(before.top, after.top);
    EXPECT_EQ(client.bottom - 10, after.bottom);
    ::DestroyWindow(tall.GetHandle());
}

TEST_F(MessageBoxes, WarningsAreWrittenInTheWarningColour) {
    for (const auto& [type, colour, other] :
         {std::tuple{static_cast<UINT>(MB_OK | MB_ICONWARNING), Box::kWarningTextColor, Box::kTextColor},
          std::tuple{static_cast<UINT>(MB_OK), Box::kTextColor, Box::kWarningTextColor}}) {
        ui::CMessageBoxWindow box(true);
        box.Build(nullptr, "■■■ 注意してください ■■■", type);
        const RECT text = box.FindItem(Box::kText)->GetRect();
        int inColour = 0, inOther = 0;
        for (int y = text.top; y < text.bottom; ++y) {
            for (int x = text.left; x < text.right; ++x) {
                const COLORREF pixel = skintest::PixelAt(box.GetBackBuffer(), x, y);
                inColour += pixel == colour;
                inOther += pixel == other;
            }
        }
        EXPECT_GT(inColour, 50) << "type " << type;
        EXPECT_EQ(0, inOther) << "type " << type;
        ::DestroyWindow(box.GetHandle());
    }
}

TEST_F(MessageBoxes, BoxesEndWhenTheirOwnerGoesOrTheThreadQuits) {
    HWND owner = ::CreateWindowExA(0, "STATIC", "オーナー", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                   nullptr, nullptr, nullptr);
    ASSERT_TRUE(owner);
    ui::CMessageBoxWindow orphan(true);
    EXPECT_EQ(0, RunModal(orphan, owner, MB_OK, [owner](ui::CSkinMessageBox&) { ::DestroyWindow(owner); }));
    EXPECT_FALSE(::IsWindow(orphan.GetHandle()));

    ui::CMessageBoxWindow quitting(true);
    EXPECT_EQ(0, RunModal(quitting, nullptr, MB_OK, [](ui::CSkinMessageBox&) { ::PostQuitMessage(7); }));
    MSG quit{};
    ASSERT_TRUE(::PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));  // kept for the loop further out
    EXPECT_EQ(7u, quit.wParam);
    EXPECT_FALSE(::IsWindow(quitting.GetHandle()));
}
