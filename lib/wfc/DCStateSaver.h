#pragma once
// Changes to a DC that are undone later: the first change of each setting
// through the saver remembers the value it replaced, Restore (also run by the
// destructor) puts those values back.
#include <windows.h>

namespace lib::wfc {

class DCStateSaver {
public:
    // Selection slots; this system selects fonts and bitmaps, the first two are free.
    enum Slot { kSlot0 = 0, kSlot1 = 1, kFontSlot = 2, kBitmapSlot = 3, kSlotCount = 4 };

    explicit DCStateSaver(HDC dc) noexcept : dc_(dc) {}
    DCStateSaver(const DCStateSaver&) = delete;
    DCStateSaver& operator=(const DCStateSaver&) = delete;
    ~DCStateSaver() { Restore(); }

    void SetBkMode(int mode);
    void SetTextColor(COLORREF color);
    // Selects `object` through `slot`; selecting the object the slot
    // remembered puts the DC back and forgets it. A failed selection throws
    // lib::wfc::bad_alloc.
    void SelectObject(Slot slot, HGDIOBJ object);

    // Puts back everything remembered, then forgets it.
    void Restore() noexcept;

private:
    HDC dc_;
    bool bkModeSaved_ = false;
    int bkMode_ = 0;
    bool textColorSaved_ = false;
    COLORREF textColor_ = 0;
    HGDIOBJ previous_[kSlotCount] = {};
};

}  // namespace lib::wfc
