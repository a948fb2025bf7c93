#include "lib/wfc/ContextMenu.h"

namespace lib::wfc {

CContextMenu::~CContextMenu() = default;

HMENU CContextMenu::Menu() {
    if (!menu_) menu_.reset(::CreatePopupMenu());
    return menu_.get();
}

HMENU CContextMenu::AppendItem(UINT id, const char* text, UINT flags) {
    HMENU menu = Menu();
    if (menu) ::AppendMenuA(menu, flags, id, text);
    return menu;
}

void CContextMenu::AppendSubmenu(const std::vector<Item>& items, const char* text) {
    HMENU menu = Menu();
    MenuHandle submenu(::CreatePopupMenu());
    if (!menu || !submenu) return;
    for (const Item& item : items) ::AppendMenuA(submenu.get(), item.flags, item.id, item.text.c_str());
    // Once appended the submenu belongs to this menu and goes with it.
    if (::AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(submenu.get()), text)) submenu.release();
}

int CContextMenu::Track(HWND hwnd, POINT clientPoint, UINT flags) {
    ::ClientToScreen(hwnd, &clientPoint);
    return ::TrackPopupMenu(menu_.get(), flags, clientPoint.x, clientPoint.y, 0, hwnd, nullptr);
}

void CContextMenu::Destroy() noexcept { menu_.reset(); }

}  // namespace lib::wfc
