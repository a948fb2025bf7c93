#pragma once
// The base of every skinned window: the Base section of a skin (background
// image, title, caption height, font), an ordered list of owned items that
// are composed with the background into a back buffer, painting from that
// buffer, a window shape cut from it along the magenta key, mouse capture and
// hover routing to items, dragging by the caption band, Enter and Escape,
// item tooltips and a 33 ms animation tick.
//
// Items are drawn in list order and hit-tested from the last to the first.
// Everything runs on the window's thread; only the list of live skin windows
// is shared between threads.
#include <windows.h>
#include <commctrl.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "lib/UniqueHandle.h"
#include "lib/wfc/DIB.h"
#include "lib/wfc/Font.h"
#include "lib/wfc/RegionWindow.h"
#include "lib/wfc/TooltipActivator.h"
#include "ui/CachedDIB.h"
#include "ui/SkinDefinition.h"
#include "ui/SkinWindowItem.h"
#include "ui/SkinWindowItemAccessor.h"

namespace ui {

class CSkinWindowItemButton;
class CSkinWindowItemToggleButton;
class CSkinWindowItemStatic;
class CSkinWindowItemStaticImage;
class CSkinWindowItemResizableStaticImage;
class CSkinWindowItemOverlay;
class CSkinWindowItemIcon;

class CSkinWindow : public lib::wfc::CRegionWindow, public ISkinWindowItemAccessor, public CSkinWindowItemTabAccessor {
public:
    // The animation timer's id and period.
    static constexpr UINT_PTR kAnimationTimer = static_cast<UINT_PTR>(-1);
    static constexpr UINT kAnimationInterval = 33;
    // Pixels of this colour are cut out of the window's shape.
    static constexpr COLORREF kShapeKey = RGB(255, 0, 255);
    static constexpr int kMaxTooltipWidth = 640;
    // Caption buttons are given roles 1 to 3 when they are added.
    static constexpr int kCaptionButtonCount = 3;

    CSkinWindow();
    ~CSkinWindow() override;

    // Handlers of CWindow.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnCreate(CREATESTRUCTA* create) override;
    void OnDestroy() override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnSetFocus(HWND previous) override;
    void OnKillFocus(HWND next) override;
    void OnPaint() override;
    // The buffer covers the whole client area: nothing is ever erased.
    bool OnEraseBkgnd(HDC dc) override;
    bool OnSetCursor(LPARAM hitTestAndMessage) override;
    void OnMouseMove(UINT keys, int x, int y) override;
    void OnLButtonDown(UINT keys, int x, int y) override;
    void OnLButtonUp(UINT keys, int x, int y) override;
    void OnLButtonDblClk(UINT keys, int x, int y) override;
    void OnRButtonDown(UINT keys, int x, int y) override;
    void OnRButtonUp(UINT keys, int x, int y) override;
    void OnRButtonDblClk(UINT keys, int x, int y) override;
    void OnMouseLeave() override;
    void OnCaptureChanged(HWND newCapture) override;
    bool OnNotify(int id, NMHDR* header, LRESULT* result) override;
    void OnDisplayChange(UINT bitsPerPixel, UINT cx, UINT cy) override;
    // The caption band outside items drags the window.
    LRESULT OnNcHitTest(int x, int y) override;
    void OnNcMouseMove(UINT hitTest, int x, int y) override;
    // Enter accepts and Escape cancels, whatever item has the focus.
    void OnKeyDown(UINT vk, LPARAM flags) override;
    void OnCommand(UINT id, UINT code, HWND control) override;
    void OnTimer(UINT_PTR id) override;

    // Operations of skin windows, in this order (the virtual table continues CWindow's).
    // The cached images of Base/Image and Base/ImageInactive, locked while held.
    virtual CLockedSkinImage GetActiveImage();
    virtual CLockedSkinImage GetInactiveImage();
    // The part of the image that is the background, in image coordinates.
    virtual RECT GetImageSourceRect();
    virtual SIZE GetImageSourceSize();
    // The size item positions are designed for, and {0, 0, that size}.
    virtual SIZE GetLayoutSize();
    virtual RECT GetLayoutRect();
    // Called after an item's mouse capture has ended.
    virtual void OnCaptureReleased();
    // Reads the section given to LoadSkinFile.
    virtual void LoadSkin(const SkinItemDefinition& section);
    virtual void RemoveAllItems();
    // Draws `image` into `buffer` at (x, y), limited to `clip` (null: no
    // further limit) and never beyond the buffer's own clip rectangle.
    virtual void DrawBackground(int x, int y, lib::wfc::CDIB& buffer, const lib::wfc::CDIB& image, const RECT* clip);
    // A new back buffer of cx x cy (at least 1 x 1), composed; the shape and
    // the tooltip rectangles follow it.
    virtual bool RebuildBackBuffer(UINT type, int cx, int cy);
    // id -1 is the keyboard (Enter: accept, Escape: cancel).
    virtual void OnAcceptCancel(int id, bool accept);
    virtual bool ShouldForwardKey(WPARAM wParam, LPARAM lParam);
    // Runs when the window is asked to reload its skin, before it is composed again.
    virtual void OnSkinReload();

    // ISkinWindowItemAccessor.
    bool IsWindowReady() override;
    CSkinImageList& GetImageCache() override;
    lib::wfc::CDIB& GetBackBuffer() override;
    void RedrawRect(const RECT& rect, bool updateNow) override;
    // Code 0 (a click) becomes WM_COMMAND (id, 1) posted to the window.
    bool NotifyCommand(int id, int code) override;
    void Accept(int id) override;
    void Cancel(int id) override;
    bool ForwardKey(WPARAM wParam, LPARAM lParam) override;
    LRESULT SendWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    CSkinWindowItem* GetCapturedItem() override;
    bool HasWindow() override;
    void UpdateItemTooltip(CSkinWindowItem& item) override;
    bool SetRedrawSuspended(bool suspended) override;

    // CSkinWindowItemTabAccessor.
    CSkinWindowItem* FindItem(int id) override;
    void RefreshTooltips() override;

    // Loads `fileName` into `holder`, gives the Font of `sectionName` to every
    // other block that lacks one (or parts of one), and reads that section
    // with LoadSkin. Called before Create; useRegion shapes the window.
    void LoadSkinFile(SkinDefinition& holder, const std::string& fileName, const std::string& sectionName,
                      bool useRegion);

    // Each makes the item from its block and puts it in place of the item
    // with the same id, or at the end. Running out of memory is reported as a
    // skin error. Roles 1 to 3 make the button a caption button.
    CSkinWindowItemButton& AddButton(int id, const SkinItemDefinition& definition, int role = 0);
    CSkinWindowItemToggleButton& AddToggleButton(int id, const SkinItemDefinition& definition, int role = 0);
    CSkinWindowItemStatic& AddStatic(int id, const SkinItemDefinition& definition);
    CSkinWindowItemStaticImage& AddStaticImage(int id, const SkinItemDefinition& definition);
    CSkinWindowItemResizableStaticImage& AddResizableStaticImage(int id, const SkinItemDefinition& definition);
    CSkinWindowItemOverlay& AddOverlay(int id, const SkinItemDefinition& definition);
    // A system icon (IDI_* or null for none), made by code.
    CSkinWindowItemIcon& AddIcon(int id, const char* systemIcon);
    // An item made elsewhere, inserted by the same rule.
    CSkinWindowItem& AddItem(std::unique_ptr<CSkinWindowItem> item);

    const std::string& GetTitle() const noexcept { return title_; }
    int GetCaptionHeight() const noexcept { return captionHeight_; }
    HFONT GetWindowFont() const noexcept { return font_.Handle(); }
    HWND GetTooltipWindow() const noexcept { return tooltip_.get(); }
    bool UsesRegion() const noexcept { return useRegion_; }
    bool IsRedrawSuspended() const noexcept { return redrawSuspended_; }
    const std::vector<std::unique_ptr<CSkinWindowItem>>& Items() const noexcept { return items_; }
    CSkinWindowItem* GetFocusedItem() const noexcept { return focusedItem_; }
    CSkinWindowItem* GetHoverItem() const noexcept { return hoverItem_; }
    CSkinWindowItem* GetTooltipItem() const noexcept { return tooltipItem_; }
    // Role 1 to 3; null when no button has it.
    CSkinWindowItemButton* GetCaptionButton(int role) const noexcept;

    // The registered message that makes a skin window reload (wParam 0).
    static UINT GetSkinReloadMessage();

    // Collects the window's RedrawRect calls while it lives; Commit composes
    // and invalidates their union once. Left without Commit, what it
    // collected is dropped: for callers that redraw the whole window next.
    class CRedrawBatch {
    public:
        explicit CRedrawBatch(CSkinWindow& window) noexcept;
        CRedrawBatch(const CRedrawBatch&) = delete;
        CRedrawBatch& operator=(const CRedrawBatch&) = delete;
        ~CRedrawBatch();
        void Commit();

    private:
        CSkinWindow& window_;
        bool open_ = true;
    };

protected:
    // The last visible item that takes mouse input and contains the point.
    CSkinWindowItem* ItemAt(POINT clientPoint) const;
    // The cursor position in client coordinates.
    POINT CursorClientPoint() const;
    // Builds the shape from the whole back buffer and gives it to the window.
    void ApplyRegion();

private:
    template <typename Item, typename... Args>
    Item& AddNew(int id, Args&&... args);
    CSkinWindowItem& InsertItem(std::unique_ptr<CSkinWindowItem> item);
    // Clears every reference the window keeps to an item that is going away.
    void ForgetItem(CSkinWindowItem& item);
    void ComposeInto(const RECT* clip, bool inactiveImage);
    void RebuildRegion();
    // Rebuilds the buffer for the client size with the caption buttons' disabled look on or off.
    void RebuildForActivation(bool showDisabledLook);
    void EndItemCapture(bool cancelled, POINT clientPoint);
    void ButtonDown(bool left, bool doubleClick, POINT point);
    void ButtonUp(bool left, POINT point);
    void SetFocusedItem(CSkinWindowItem* item);
    void SetHoverItem(CSkinWindowItem* item);
    bool OwnsItem(const CSkinWindowItem* item) const noexcept;
    void FillToolInfo(CSkinWindowItem& item);

    // Before the items, so that it outlives them: items hold names acquired in it.
    std::unique_ptr<CSkinImageList> images_;
    std::string title_;
    int captionHeight_ = 0;
    lib::WindowHandle tooltip_;
    lib::wfc::CTooltipActivator activator_;

    std::vector<std::unique_ptr<CSkinWindowItem>> items_;
    CSkinWindowItem* tooltipItem_ = nullptr;
    CSkinWindowItem* capturedItem_ = nullptr;
    bool captureByLeftButton_ = false;
    CSkinWindowItem* hoverItem_ = nullptr;
    CSkinWindowItem* focusedItem_ = nullptr;
    std::array<CSkinWindowItemButton*, kCaptionButtonCount> captionButtons_{};

    lib::wfc::CDIB backBuffer_;
    std::string imageName_;
    RECT imageSource_{};
    std::string inactiveImageName_;
    bool redrawSuspended_ = false;
    int redrawBatches_ = 0;
    RECT batchedRedraw_{};
    bool useRegion_ = false;
    lib::RegionHandle region_;
    // The buffer's pixels when region_ was made from them.
    std::vector<BYTE> regionPixels_;
    SIZE regionSize_{};
    lib::wfc::CFont font_;
};

// The skin windows that exist now, of every thread (entered in OnCreate,
// removed in OnDestroy).
bool IsLiveSkinWindow(HWND window);
std::vector<HWND> LiveSkinWindows();

}  // namespace ui
