#pragma once
// Shared pieces of the skin window tests: the framework started once for the
// test program, an item that records what its window tells it, pixel reads of
// a back buffer, and bounded message pumping.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "lib/wfc/DIB.h"
#include "lib/wfc/Framework.h"
#include "lib/wfc/ThreadContext.h"
#include "ui/SkinWindowItem.h"

namespace skintest {

// Windows need the framework on this thread; the other skin tests do not start it.
inline void EnsureFramework() {
    if (lib::wfc::GetInstanceHandle()) return;
    lib::wfc::Initialize(::GetModuleHandleA(nullptr), "ui_tests", nullptr, nullptr);
    lib::wfc::AttachThread();
}

inline COLORREF PixelAt(const lib::wfc::CDIB& dib, int x, int y) {
    const BYTE* pixel = dib.Row(y) + 3 * x;
    return RGB(pixel[2], pixel[1], pixel[0]);
}

// Dispatches this thread's messages until done() or `milliseconds` have passed; returns done().
inline bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds = 3000) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                // Not ours to take: it goes back for whoever waits for it.
                ::PostQuitMessage(static_cast<int>(message.wParam));
                return done();
            }
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
        if (done()) return true;
        const DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= milliseconds) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_ALLINPUT);
    }
}

// Dispatches what is queued now (posted commands, self-posted messages).
inline void PumpPending() {
    PumpUntil([] { return false; }, 0);
}

inline LPARAM PointParam(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

// An item that fills its rectangle with one colour and writes every call it
// gets into a shared log ("down 3,4", "cancel 1,2", "timer", ...).
class ProbeItem : public ui::CSkinWindowItem {
public:
    ProbeItem(ui::ISkinWindowItemAccessor& owner, int id, RECT rect, COLORREF color, std::vector<std::string>* log,
              bool captures = true)
        : CSkinWindowItem(owner, id), color_(color), log_(log), captures_(captures) {
        SetRect(rect.left, rect.top, rect.right, rect.bottom);
    }
    ~ProbeItem() override {
        if (deleted) ++*deleted;
    }

    bool OnLButtonDown(int x, int y) override {
        Note("down", x, y);
        return captures_;
    }
    bool OnLButtonDblClk(int x, int y) override {
        Note("dblclk", x, y);
        return captures_;
    }
    void OnLButtonUp(int x, int y) override { Note("up", x, y); }
    void OnLButtonCancel(int x, int y) override { Note("cancel", x, y); }
    bool OnRButtonDown(int x, int y) override {
        Note("rdown", x, y);
        return false;
    }
    void OnRButtonUp(int x, int y) override { Note("rup", x, y); }
    void OnMouseMove(int x, int y) override { Note("move", x, y); }
    void OnMouseLeave() override { Note("leave"); }
    void OnSetFocus() override { Note("focus"); }
    void OnKillFocus() override { Note("killfocus"); }
    void OnTimer(DWORD tickCount) override {
        lastTick = tickCount;
        ++ticks;
    }
    std::string GetToolTipText() const override { return tipText; }
    // Takes the whole rectangle, so that layouts can be read back from it.
    void SetItemRect(const RECT& rect) override {
        SetRect(rect.left, rect.top, rect.right, rect.bottom);
        ++moves;
    }
    void Paint() override {
        lib::wfc::CDIB& buffer = Owner().GetBackBuffer();
        RECT area = GetRect();
        const RECT clip = buffer.ClipRect();
        if (!::IntersectRect(&area, &area, &clip)) return;
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x) {
                BYTE* pixel = buffer.Row(y) + 3 * x;
                pixel[0] = GetBValue(color_);
                pixel[1] = GetGValue(color_);
                pixel[2] = GetRValue(color_);
            }
        }
        ++paints;
    }

    int* deleted = nullptr;
    int paints = 0;
    int moves = 0;
    int ticks = 0;
    DWORD lastTick = 0;
    std::string tipText;

private:
    void Note(const char* what) {
        if (log_) log_->push_back(what + (" #" + std::to_string(GetId())));
    }
    void Note(const char* what, int x, int y) {
        if (log_) log_->push_back(std::string(what) + " #" + std::to_string(GetId()) + " " + std::to_string(x) + "," +
                                  std::to_string(y));
    }

    COLORREF color_;
    std::vector<std::string>* log_;
    bool captures_;
};

}  // namespace skintest
