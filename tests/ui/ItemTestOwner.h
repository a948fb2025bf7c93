#pragma once
// A stand-in for the skin window that items live in: a back buffer of its
// own, the notifications and redraw requests the items make, and pixel reads.
#include <windows.h>

#include <set>
#include <utility>
#include <vector>

#include "lib/wfc/DIB.h"
#include "ui/CachedDIB.h"
#include "ui/SkinWindowItemAccessor.h"

namespace skintest {

class ItemTestOwner : public ui::ISkinWindowItemAccessor {
public:
    // A black back buffer of the size.
    ItemTestOwner(int width, int height);

    bool IsWindowReady() override { return ready; }
    ui::CSkinImageList& GetImageCache() override { return images; }
    lib::wfc::CDIB& GetBackBuffer() override { return buffer; }
    void RedrawRect(const RECT& rect, bool updateNow) override;
    // Records (id, code); handled when the code is in `handledCodes`.
    bool NotifyCommand(int id, int code) override;
    void Accept(int) override {}
    void Cancel(int) override {}
    bool ForwardKey(WPARAM, LPARAM) override { return false; }
    LRESULT SendWindowMessage(UINT, WPARAM, LPARAM) override { return 0; }
    ui::CSkinWindowItem* GetCapturedItem() override { return nullptr; }
    bool HasWindow() override { return ready; }
    void UpdateItemTooltip(ui::CSkinWindowItem&) override { ++tooltipUpdates; }
    bool SetRedrawSuspended(bool) override { return false; }

    // The codes notified so far, and forgets them.
    std::vector<int> TakeCodes();
    COLORREF Pixel(int x, int y) const;
    void Clear(COLORREF color = 0) { buffer.Fill(color); }

    bool ready = true;
    lib::wfc::CDIB buffer;
    ui::CSkinImageList images;
    std::vector<std::pair<int, int>> notifications;
    std::set<int> handledCodes;
    std::vector<RECT> redraws;
    int tooltipUpdates = 0;
};

}  // namespace skintest
