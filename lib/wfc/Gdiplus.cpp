#include "lib/wfc/Gdiplus.h"

#include <windows.h>
#include <gdiplus.h>

namespace lib::wfc {
namespace {

volatile LONG useCount = 0;
ULONG_PTR token = 0;

}  // namespace

bool StartupGdiplus() {
    if (::InterlockedIncrement(&useCount) != 1) return true;
    Gdiplus::GdiplusStartupInput input;  // version 1, no debug callback, thread and codecs not suppressed
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok) return true;
    token = 0;
    ::InterlockedDecrement(&useCount);
    return false;
}

void ShutdownGdiplus() {
    const LONG remaining = ::InterlockedDecrement(&useCount);
    if (remaining < 0) {
        // More stops than starts: nothing is running, keep the count at zero.
        ::InterlockedIncrement(&useCount);
        return;
    }
    if (remaining != 0) return;
    Gdiplus::GdiplusShutdown(token);
    token = 0;
}

}  // namespace lib::wfc
