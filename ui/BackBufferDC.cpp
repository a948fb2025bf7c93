#include "ui/BackBufferDC.h"

namespace ui {

CBackBufferDC::CBackBufferDC(const lib::wfc::CDIB& buffer) : state_(dc_.Handle()) {
    state_.SelectObject(lib::wfc::DCStateSaver::kBitmapSlot, buffer.Handle());
    const RECT& clip = buffer.ClipRect();
    ::IntersectClipRect(dc_.Handle(), clip.left, clip.top, clip.right, clip.bottom);
}

}  // namespace ui
