#include "lib/wfc/DC.h"

#include <new>
#include <utility>

#include "lib/wfc/bad_alloc.h"

namespace lib::wfc {

CDC::~CDC() {
    if (dc_) ::DeleteDC(dc_);
}

HDC CDC::Surrender() noexcept { return std::exchange(dc_, nullptr); }

CMemDC::CMemDC(HDC compatible) {
    Set(::CreateCompatibleDC(compatible));
    if (!Handle()) throw bad_alloc();
}

CClientDC::CClientDC(HWND window) : window_(window) {
    Set(::GetDC(window));
    if (!Handle()) throw bad_alloc();
}

CClientDC::~CClientDC() { ::ReleaseDC(window_, Surrender()); }

CPaintDC::CPaintDC(HWND window) : window_(window) {
    Set(::BeginPaint(window, &paint_));
    if (!Handle()) throw std::bad_alloc();
}

CPaintDC::~CPaintDC() {
    Surrender();
    ::EndPaint(window_, &paint_);
}

}  // namespace lib::wfc
