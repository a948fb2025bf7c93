#pragma once
// A memory DC drawing into a back buffer, clipped like the buffer's own
// drawing operations to its clip rectangle, so that text drawn through GDI
// during a partial redraw never lands outside the area being composed.
#include "lib/wfc/DC.h"
#include "lib/wfc/DCStateSaver.h"
#include "lib/wfc/DIB.h"

namespace ui {

class CBackBufferDC {
public:
    explicit CBackBufferDC(const lib::wfc::CDIB& buffer);
    CBackBufferDC(const CBackBufferDC&) = delete;
    CBackBufferDC& operator=(const CBackBufferDC&) = delete;

    HDC Handle() const noexcept { return dc_.Handle(); }
    lib::wfc::DCStateSaver& State() noexcept { return state_; }

private:
    lib::wfc::CMemDC dc_;
    // Declared after the DC: it puts the selections back before the DC goes.
    lib::wfc::DCStateSaver state_;
};

}  // namespace ui
