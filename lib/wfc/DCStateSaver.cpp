#include "lib/wfc/DCStateSaver.h"

#include "lib/wfc/bad_alloc.h"

namespace lib::wfc {

void DCStateSaver::SetBkMode(int mode) {
    const int previous = ::SetBkMode(dc_, mode);
    if (!bkModeSaved_) {
        bkMode_ = previous;
        bkModeSaved_ = true;
    }
}

void DCStateSaver::SetTextColor(COLORREF color) {
    const COLORREF previous = ::SetTextColor(dc_, color);
    if (!textColorSaved_) {
        textColor_ = previous;
        textColorSaved_ = true;
    }
}

void DCStateSaver::SelectObject(Slot slot, HGDIOBJ object) {
    HGDIOBJ previous = ::SelectObject(dc_, object);
    if (!previous || previous == HGDI_ERROR) throw bad_alloc();
    HGDIOBJ& remembered = previous_[slot];
    if (object == remembered) {
        remembered = nullptr;
    } else if (!remembered) {
        remembered = previous;
    }
}

void DCStateSaver::Restore() noexcept {
    if (bkModeSaved_) ::SetBkMode(dc_, bkMode_);
    if (textColorSaved_) ::SetTextColor(dc_, textColor_);
    bkModeSaved_ = textColorSaved_ = false;
    for (HGDIOBJ& remembered : previous_) {
        if (remembered) ::SelectObject(dc_, remembered);
        remembered = nullptr;
    }
}

}  // namespace lib::wfc
