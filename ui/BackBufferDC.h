#pragma once
// A memory DC drawing into a back buffer, clipped like the buffer's own
// drawing operations to its clip rectangle, so that text drawn through GDI
// during a partial redraw never lands outside the area being composed.
//
// While a window composes its buffer it holds a CBackBufferDCScope: every
// CBackBufferDC of that buffer on the thread then draws through the scope's
// one memory DC, made at the first such use, instead of making a DC and
// selecting the bitmap each time.
#include <optional>

#include "lib/wfc/DC.h"
#include "lib/wfc/DCStateSaver.h"
#include "lib/wfc/DIB.h"

namespace ui {

class CBackBufferDCScope {
public:
    explicit CBackBufferDCScope(const lib::wfc::CDIB& buffer);
    CBackBufferDCScope(const CBackBufferDCScope&) = delete;
    CBackBufferDCScope& operator=(const CBackBufferDCScope&) = delete;
    ~CBackBufferDCScope();

    // The DC of the scope that composes `buffer` (the same bitmap), else null.
    static HDC DCFor(const lib::wfc::CDIB& buffer);

private:
    HDC Lend();

    const lib::wfc::CDIB& buffer_;
    HBITMAP bitmap_;
    CBackBufferDCScope* outer_;
    std::optional<lib::wfc::CMemDC> dc_;
    // Declared after the DC: it puts the bitmap back before the DC goes.
    std::optional<lib::wfc::DCStateSaver> state_;
};

class CBackBufferDC {
public:
    explicit CBackBufferDC(const lib::wfc::CDIB& buffer);
    CBackBufferDC(const CBackBufferDC&) = delete;
    CBackBufferDC& operator=(const CBackBufferDC&) = delete;
    ~CBackBufferDC();

    HDC Handle() const noexcept { return dc_; }
    lib::wfc::DCStateSaver& State() noexcept { return state_; }

private:
    // Made only when no scope lends its DC.
    std::optional<lib::wfc::CMemDC> own_;
    HDC dc_;
    // Declared after the DC: it puts the selections back before the DC goes.
    lib::wfc::DCStateSaver state_;
};

}  // namespace ui
