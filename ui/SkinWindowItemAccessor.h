#pragma once
// What items need of the window they live in, and how a window's items are
// found by id. The skin window implements both; tests can stand in for it.
#include <windows.h>

namespace lib::wfc {
class CDIB;
}

namespace ui {

class CSkinWindowItem;
class CSkinImageList;

class ISkinWindowItemAccessor {
public:
    virtual ~ISkinWindowItemAccessor() = default;

    // The window exists and has a back buffer.
    virtual bool IsWindowReady() = 0;
    // The names of the images the window's items acquired.
    virtual CSkinImageList& GetImageCache() = 0;
    // The window's composed picture, which items paint into.
    virtual lib::wfc::CDIB& GetBackBuffer() = 0;
    // Composes the area again and invalidates it.
    virtual void RedrawRect(const RECT& rect, bool updateNow) = 0;
    // Tells the window what happened to item `id`; true when it handled it.
    virtual bool NotifyCommand(int id, int code) = 0;
    virtual void Accept(int id) = 0;
    virtual void Cancel(int id) = 0;
    virtual bool ForwardKey(WPARAM wParam, LPARAM lParam) = 0;
    virtual LRESULT SendWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
    virtual CSkinWindowItem* GetCapturedItem() = 0;
    virtual bool HasWindow() = 0;
    // Registers, updates or removes the item's tool with the window's tooltip.
    virtual void UpdateItemTooltip(CSkinWindowItem& item) = 0;
    // Returns the previous value; lifting the suspension updates the window.
    virtual bool SetRedrawSuspended(bool suspended) = 0;
};

class CSkinWindowItemTabAccessor {
public:
    virtual ~CSkinWindowItemTabAccessor() = default;

    // The last item with that id, or null.
    virtual CSkinWindowItem* FindItem(int id) = 0;
    // Marks visible items' tools for registration and hidden ones for removal, then updates them all.
    virtual void RefreshTooltips() = 0;
};

}  // namespace ui
