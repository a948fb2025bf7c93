// Binding of objects to windows, creation failures, dispatch and DefaultProc.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "lib/wfc/Framework.h"
#include "lib/wfc/WindowClass.h"
#include "lib/wfc/bad_alloc.h"
#include "tests/lib/wfc/WfcTestSupport.h"

namespace {

using lib::wfc::CWindow;

// Records, for one thread, every message sent to any window procedure.
class SentMessageLog {
public:
    SentMessageLog() : hook_(::SetWindowsHookExA(WH_CALLWNDPROC, &Record, nullptr, ::GetCurrentThreadId())) {}
    ~SentMessageLog() { ::UnhookWindowsHookEx(hook_); }
    static inline std::vector<std::pair<HWND, UINT>> sent;

private:
    static LRESULT CALLBACK Record(int code, WPARAM wParam, LPARAM lParam) {
        const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION) sent.emplace_back(message->hwnd, message->message);
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }
    HHOOK hook_;
};

class RecordingWindow : public test::TestWindow {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        seen.push_back(message);
        return CWindow::WindowProc(message, wParam, lParam);
    }
    bool OnCreate(CREATESTRUCTA*) override {
        if (failCreate) throw std::runtime_error("no resources");
        return acceptCreate;
    }
    void OnDestroy() override { seen.push_back(0xD1); }
    void OnNcDestroy() override { seen.push_back(0xD2); }

    std::vector<UINT> seen;
    bool acceptCreate = true;
    bool failCreate = false;
};

TEST(WindowBinding, MessagesBeforeNcCreateGoToTheSystemNotTheObject) {
    SentMessageLog log;
    RecordingWindow window;
    window.Create(0, nullptr, "overlapped", WS_OVERLAPPEDWINDOW, 10, 10, 200, 100, nullptr);
    std::vector<UINT> sent;
    for (const auto& [hwnd, message] : SentMessageLog::sent)
        if (hwnd == window.GetHandle()) sent.push_back(message);
    ASSERT_GE(sent.size(), 2u);
    EXPECT_EQ(static_cast<UINT>(WM_GETMINMAXINFO), sent[0]);
    EXPECT_EQ(static_cast<UINT>(WM_NCCREATE), sent[1]);
    ASSERT_FALSE(window.seen.empty());
    EXPECT_EQ(static_cast<UINT>(WM_NCCREATE), window.seen.front());
}

TEST(WindowBinding, RefusedOrFailingCreateThrowsBadAllocAndLeavesTheObjectUnbound) {
    RecordingWindow refusing;
    refusing.acceptCreate = false;
    try {
        refusing.CreatePopup();
        FAIL() << "Create returned";
    } catch (const lib::wfc::bad_alloc& error) {
        EXPECT_STREQ("メモリが不足しています。", error.what());
    }
    EXPECT_EQ(nullptr, refusing.GetHandle());

    RecordingWindow throwing;
    throwing.failCreate = true;
    EXPECT_THROW(throwing.CreatePopup(), lib::wfc::bad_alloc);
    EXPECT_EQ(nullptr, throwing.GetHandle());
    EXPECT_EQ(0xD2u, throwing.seen.back());
}

TEST(WindowBinding, DestroyingTheWindowRunsBothHandlersThenUnbinds) {
    RecordingWindow window;
    window.CreatePopup();
    HWND hwnd = window.GetHandle();
    ASSERT_TRUE(hwnd);
    window.seen.clear();
    ::DestroyWindow(hwnd);
    EXPECT_EQ((std::vector<UINT>{WM_DESTROY, 0xD1, WM_NCDESTROY, 0xD2}), window.seen);
    EXPECT_EQ(nullptr, window.GetHandle());
}

TEST(WindowBinding, DeletingTheObjectOnlyDetachesTheWindow) {
    auto window = std::make_unique<CWindow>();
    window->Create(0, nullptr, "orphan", WS_POPUP, 0, 0, 10, 10, nullptr);
    HWND hwnd = window->GetHandle();
    window.reset();
    EXPECT_TRUE(::IsWindow(hwnd));
    EXPECT_EQ(0, ::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    EXPECT_TRUE(::SetWindowTextA(hwnd, "still works"));
    EXPECT_TRUE(::DestroyWindow(hwnd));
}

class ArgumentWindow : public test::TestWindow {
public:
    void OnMouseMove(UINT keys, int x, int y) override { calls.push_back({WM_MOUSEMOVE, int(keys), x, y}); }
    void OnCommand(UINT id, UINT code, HWND control) override {
        calls.push_back({WM_COMMAND, int(id), int(code), control == GetHandle()});
    }
    void OnSize(UINT type, int cx, int cy) override { calls.push_back({WM_SIZE, int(type), cx, cy}); }
    bool OnEraseBkgnd(HDC) override { return true; }
    bool OnNotify(int id, NMHDR*, LRESULT* result) override {
        *result = 77;
        return id == 5;
    }
    std::vector<std::vector<int>> calls;
};

TEST(WindowDispatch, HandlersReceiveTheMessagePartsAndAnswerAsWindowsExpects) {
    ArgumentWindow window;
    window.CreatePopup();
    window.calls.clear();
    HWND hwnd = window.GetHandle();
    ::SendMessageA(hwnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-5, -7));
    ::SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(12, 34), reinterpret_cast<LPARAM>(hwnd));
    ::SendMessageA(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(40000, 30));
    EXPECT_EQ((std::vector<std::vector<int>>{{WM_MOUSEMOVE, MK_LBUTTON, -5, -7},
                                             {WM_COMMAND, 12, 34, 1},
                                             {WM_SIZE, SIZE_RESTORED, 40000, 30}}),
              window.calls);

    EXPECT_EQ(1, ::SendMessageA(hwnd, WM_ERASEBKGND, 0, 0));
    NMHDR header{hwnd, 5, 1234};
    EXPECT_EQ(77, ::SendMessageA(hwnd, WM_NOTIFY, 5, reinterpret_cast<LPARAM>(&header)));
    header.idFrom = 6;
    EXPECT_EQ(0, ::SendMessageA(hwnd, WM_NOTIFY, 6, reinterpret_cast<LPARAM>(&header)));
}

// While answering WM_QUERYOPEN it sends itself WM_GETTEXTLENGTH, which goes
// through DefaultProc too; the outer DefaultProc must still see WM_QUERYOPEN.
class NestingWindow : public test::TestWindow {
public:
    bool OnQueryOpen() override {
        innerResult = ::SendMessageA(GetHandle(), WM_GETTEXTLENGTH, 0, 0);
        outerResult = DefaultProc();
        return outerResult != 0;
    }
    LRESULT innerResult = -1;
    LRESULT outerResult = -1;
};

TEST(WindowDispatch, NestedSendMessageLeavesDefaultProcOnTheOuterMessage) {
    NestingWindow window;
    window.CreatePopup();
    ::SetWindowTextA(window.GetHandle(), "nested-title");
    EXPECT_EQ(1, ::SendMessageA(window.GetHandle(), WM_QUERYOPEN, 0, 0));
    EXPECT_EQ(static_cast<LRESULT>(std::strlen("nested-title")), window.innerResult);
    EXPECT_EQ(TRUE, window.outerResult);
}

TEST(WindowClass, SameNameRegistersOnceWithTheFirstSettings) {
    lib::wfc::RegisterWindowClass("WfcTestClass", CS_HREDRAW, nullptr, nullptr, nullptr, nullptr);
    EXPECT_NO_THROW(lib::wfc::RegisterWindowClass("WfcTestClass", CS_VREDRAW, nullptr, nullptr, nullptr, nullptr));
    WNDCLASSEXA info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(::GetClassInfoExA(lib::wfc::GetInstanceHandle(), "WfcTestClass", &info));
    EXPECT_EQ(static_cast<UINT>(CS_HREDRAW), info.style);
}

}  // namespace
