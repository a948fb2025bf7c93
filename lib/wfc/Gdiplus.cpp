#include "lib/wfc/Gdiplus.h"

#include <windows.h>
#include <gdiplus.h>

#include <mutex>

namespace lib::wfc {
namespace {

// One lock over the count and the token: a start on one thread must not
// report GDI+ as running while another thread is still starting or stopping it.
struct GdiplusState {
    std::mutex lock;
    long useCount = 0;
    ULONG_PTR token = 0;
};

GdiplusState& State() {
    static GdiplusState state;
    return state;
}

}  // namespace

bool StartupGdiplus() {
    GdiplusState& state = State();
    std::lock_guard<std::mutex> hold(state.lock);
    if (state.useCount > 0) {
        ++state.useCount;
        return true;
    }
    Gdiplus::GdiplusStartupInput input;  // version 1, no debug callback, thread and codecs not suppressed
    if (Gdiplus::GdiplusStartup(&state.token, &input, nullptr) != Gdiplus::Ok) {
        state.token = 0;
        return false;
    }
    state.useCount = 1;
    return true;
}

void ShutdownGdiplus() {
    GdiplusState& state = State();
    std::lock_guard<std::mutex> hold(state.lock);
    // More stops than starts: nothing is running, keep the count at zero.
    if (state.useCount == 0 || --state.useCount != 0) return;
    Gdiplus::GdiplusShutdown(state.token);
    state.token = 0;
}

}  // namespace lib::wfc
