#pragma once
// A popup menu built item by item and shown at a point of a window.
#include <windows.h>

#include <string>
#include <vector>

#include "lib/UniqueHandle.h"

namespace lib::wfc {

class CContextMenu {
public:
    struct Item {
        UINT id;
        std::string text;
        UINT flags;
    };

    CContextMenu() = default;
    CContextMenu(const CContextMenu&) = delete;
    CContextMenu& operator=(const CContextMenu&) = delete;
    virtual ~CContextMenu();

    // Appends one item (AppendMenuA flags); returns the menu, or null when it could not be made.
    HMENU AppendItem(UINT id, const char* text, UINT flags);
    // Appends a submenu holding `items`, in order, under `text`.
    void AppendSubmenu(const std::vector<Item>& items, const char* text);
    // Shows the menu at `clientPoint` of `hwnd` (TrackPopupMenu flags); with
    // TPM_RETURNCMD the result is the chosen id, 0 when none.
    int Track(HWND hwnd, POINT clientPoint, UINT flags);
    void Destroy() noexcept;

    HMENU GetHandle() const noexcept { return menu_.get(); }

private:
    // The menu, created on first use; null when that failed.
    HMENU Menu();

    MenuHandle menu_;
};

}  // namespace lib::wfc
