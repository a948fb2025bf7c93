#include "ui/SkinWindow.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <new>
#include <utility>

#include "lib/Exception.h"
#include "lib/wfc/CriticalSection.h"
#include "lib/wfc/DC.h"
#include "lib/wfc/DCStateSaver.h"
#include "lib/wfc/Framework.h"
#include "ui/BackBufferDC.h"
#include "ui/PixelBytes.h"
#include "ui/RedrawSuspension.h"
#include "ui/SkinDefinitionLoader.h"
#include "ui/SkinItemAccess.h"
#include "ui/SkinKeySchema.h"
#include "ui/SkinValues.h"
#include "ui/SkinWindowItemButton.h"
#include "ui/SkinWindowItemIcon.h"
#include "ui/SkinWindowItemOverlay.h"
#include "ui/SkinWindowItemResizableStaticImage.h"
#include "ui/SkinWindowItemStatic.h"
#include "ui/SkinWindowItemStaticImage.h"
#include "ui/SkinWindowItemToggleButton.h"

namespace ui {
namespace {

using lib::wfc::CDIB;

constexpr char kReloadMessageName[] = "SkinWindowInternalMessage-{774AC32D-5AEC-4eb1-B2F8-8905C27F00F2}";
// The tooltip's own text buffer (NMTTDISPINFOA::szText), terminator included.
constexpr std::size_t kTipTextBuffer = sizeof(NMTTDISPINFOA{}.szText);

constexpr SkinParameter S = SkinParameter::String;
constexpr SkinParameter I = SkinParameter::Integer;

const std::vector<SkinKeySchema>& BaseSchemas() {
    static const std::vector<SkinKeySchema> schemas{
        {"Image", {S, I, I, I, I}}, {"ImageInactive", {S}}, {"Title", {S}}, {"CaptionHeight", {I}},
        {"Font", {S, I, I}},
    };
    return schemas;
}

// The skin windows of the process, of every thread.
struct LiveWindows {
    lib::wfc::CCriticalSection lock;
    std::map<HWND, HWND> windows;
};

LiveWindows& Live() {
    static LiveWindows live;
    return live;
}

void EnterLive(HWND window) {
    LiveWindows& live = Live();
    lib::wfc::CriticalSectionLock hold(live.lock);
    live.windows[window] = window;
}

void LeaveLive(HWND window) noexcept {
    LiveWindows& live = Live();
    lib::wfc::CriticalSectionLock hold(live.lock);
    live.windows.erase(window);
}

// Narrows a buffer's clip for a scope and puts the previous one back, also when drawing throws.
class ClipScope {
public:
    ClipScope(CDIB& buffer, const RECT& clip) : buffer_(buffer), previous_(buffer.SetClipRect(clip)) {}
    ClipScope(const ClipScope&) = delete;
    ClipScope& operator=(const ClipScope&) = delete;
    ~ClipScope() { buffer_.SetClipRect(previous_); }

private:
    CDIB& buffer_;
    RECT previous_;
};

void FillBlack(CDIB& buffer, const RECT& area) {
    if (area.left == 0 && area.top == 0 && area.right == buffer.Width() && area.bottom == buffer.Height()) {
        buffer.Fill(0);
        return;
    }
    for (int y = area.top; y < area.bottom; ++y) {
        std::memset(buffer.Row(y) + 3 * static_cast<std::ptrdiff_t>(area.left), 0,
                    3 * static_cast<std::size_t>(area.right - area.left));
    }
}

// Copies as much of `text` as fits the tooltip's buffer, never half of a double-byte character.
void CopyTipText(const std::string& text, char (&buffer)[kTipTextBuffer]) {
    std::size_t length = 0;
    while (length < text.size()) {
        const bool pair = ::IsDBCSLeadByte(static_cast<BYTE>(text[length])) && length + 1 < text.size();
        const std::size_t step = pair ? 2 : 1;
        if (length + step > kTipTextBuffer - 1) break;
        length += step;
    }
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
}

// Gives the Font of the section to every other block: whole where a block
// has none, value by value where a block leaves values empty.
void SpreadFont(SkinDefinition& definition, const std::string& sectionName) {
    const auto section = definition.items.find(sectionName);
    if (section == definition.items.end()) return;  // GetSkinItem reports it next
    const auto font = section->second.keys.find("Font");
    if (font == section->second.keys.end()) return;
    const SkinValueList baseFont = font->second;
    for (auto& [name, item] : definition.items) {
        if (name == sectionName) continue;
        const auto own = item.keys.find("Font");
        if (own == item.keys.end()) {
            item.keys.emplace("Font", baseFont);
            continue;
        }
        for (std::size_t at = 0; at < own->second.size() && at < baseFont.size(); ++at) {
            if (own->second[at].empty()) own->second[at] = baseFont[at];
        }
    }
}

}  // namespace

CSkinWindow::CSkinWindow() = default;

CSkinWindow::~CSkinWindow() {
    // A window destroyed without OnDestroy (the object went first) must not stay listed.
    if (GetHandle()) LeaveLive(GetHandle());
    tooltipItem_ = capturedItem_ = hoverItem_ = focusedItem_ = nullptr;
    captionButtons_.fill(nullptr);
    // Items go before the image list they acquired names in; an item's
    // destructor then finds an empty list if it asks the window anything.
    auto doomed = std::move(items_);
    items_.clear();
    doomed.clear();
}

// --- Skin ---------------------------------------------------------------

void CSkinWindow::LoadSkinFile(SkinDefinition& holder, const std::string& fileName, const std::string& sectionName,
                               bool useRegion) {
    useRegion_ = useRegion;
    holder = LoadSkinDefinition(fileName);
    try {
        SpreadFont(holder, sectionName);
    } catch (const std::bad_alloc&) {
        ReportSkinMemoryShortage();
    }
    GetImageCache();
    LoadSkin(GetSkinItem(holder, sectionName));
}

void CSkinWindow::LoadSkin(const SkinItemDefinition& section) {
    ValidateSkinKeys(section, BaseSchemas());
    imageName_ = SkinTextAt(section, "Image", 0);
    const auto source = SkinFourIntegersAt(section, "Image", 1);
    imageSource_ = RECT{source[0], source[1], source[2], source[3]};
    inactiveImageName_ = SkinTextAt(section, "ImageInactive");
    title_ = SkinTextAt(section, "Title");
    captionHeight_ = SkinIntegerAt(section, "CaptionHeight");
    font_.Create(SkinFontAt(section, "Font"));
    // Both now, so that a missing image fails the window before it exists.
    GetImageCache().Acquire(imageName_);
    GetImageCache().Acquire(inactiveImageName_);
}

CLockedSkinImage CSkinWindow::GetActiveImage() { return GetImageCache().Lock(imageName_); }

CLockedSkinImage CSkinWindow::GetInactiveImage() { return GetImageCache().Lock(inactiveImageName_); }

RECT CSkinWindow::GetImageSourceRect() { return imageSource_; }

SIZE CSkinWindow::GetImageSourceSize() {
    const RECT source = GetImageSourceRect();
    return SIZE{source.right - source.left, source.bottom - source.top};
}

SIZE CSkinWindow::GetLayoutSize() { return GetImageSourceSize(); }

RECT CSkinWindow::GetLayoutRect() {
    const SIZE size = GetLayoutSize();
    return RECT{0, 0, size.cx, size.cy};
}

UINT CSkinWindow::GetSkinReloadMessage() {
    static const UINT message = ::RegisterWindowMessageA(kReloadMessageName);
    return message;
}

// --- Items --------------------------------------------------------------

template <typename Item, typename... Args>
Item& CSkinWindow::AddNew(int id, Args&&... args) {
    std::unique_ptr<Item> item;
    try {
        item = std::make_unique<Item>(static_cast<ISkinWindowItemAccessor&>(*this), id, std::forward<Args>(args)...);
        // Room first, so that inserting cannot fail once the item exists.
        items_.reserve(items_.size() + 1);
    } catch (const std::bad_alloc&) {
        ReportSkinMemoryShortage();
    }
    Item& added = *item;
    InsertItem(std::move(item));
    return added;
}

CSkinWindowItemButton& CSkinWindow::AddButton(int id, const SkinItemDefinition& definition, int role) {
    auto& button = AddNew<CSkinWindowItemButton>(id, definition, GetImageCache());
    if (role >= 1 && role <= kCaptionButtonCount) captionButtons_[role - 1] = &button;
    return button;
}

CSkinWindowItemToggleButton& CSkinWindow::AddToggleButton(int id, const SkinItemDefinition& definition, int role) {
    auto& button = AddNew<CSkinWindowItemToggleButton>(id, definition, GetImageCache());
    if (role >= 1 && role <= kCaptionButtonCount) captionButtons_[role - 1] = &button;
    return button;
}

CSkinWindowItemStatic& CSkinWindow::AddStatic(int id, const SkinItemDefinition& definition) {
    return AddNew<CSkinWindowItemStatic>(id, definition, GetImageCache());
}

CSkinWindowItemStaticImage& CSkinWindow::AddStaticImage(int id, const SkinItemDefinition& definition) {
    return AddNew<CSkinWindowItemStaticImage>(id, definition, GetImageCache());
}

CSkinWindowItemResizableStaticImage& CSkinWindow::AddResizableStaticImage(int id,
                                                                          const SkinItemDefinition& definition) {
    return AddNew<CSkinWindowItemResizableStaticImage>(id, definition, GetImageCache());
}

CSkinWindowItemOverlay& CSkinWindow::AddOverlay(int id, const SkinItemDefinition& definition) {
    return AddNew<CSkinWindowItemOverlay>(id, definition, GetImageCache());
}

CSkinWindowItemIcon& CSkinWindow::AddIcon(int id, const char* systemIcon) {
    return AddNew<CSkinWindowItemIcon>(id, systemIcon);
}

CSkinWindowItem& CSkinWindow::AddItem(std::unique_ptr<CSkinWindowItem> item) {
    if (!item) throw lib::IlligalArgumentException("CSkinWindow::AddItem: no item");
    try {
        items_.reserve(items_.size() + 1);
    } catch (const std::bad_alloc&) {
        ReportSkinMemoryShortage();
    }
    return InsertItem(std::move(item));
}

CSkinWindowItem& CSkinWindow::InsertItem(std::unique_ptr<CSkinWindowItem> item) {
    CSkinWindowItem& added = *item;
    RECT dirty = added.GetRect();
    const auto same = std::find_if(items_.rbegin(), items_.rend(),
                                   [&](const auto& existing) { return existing->GetId() == added.GetId(); });
    if (same != items_.rend()) {
        const RECT old = (*same)->GetRect();
        ::UnionRect(&dirty, &dirty, &old);
        ForgetItem(**same);
        // `item` takes the old one, which is deleted on leaving.
        same->swap(item);
    } else {
        items_.push_back(std::move(item));
    }
    if (HasWindow()) added.OnWindowCreated(GetHandle(), 0, 0);
    if (IsWindowReady()) {
        UpdateItemTooltip(added);
        RedrawRect(dirty, false);
    }
    return added;
}

void CSkinWindow::ForgetItem(CSkinWindowItem& item) {
    if (tooltipItem_ == &item) tooltipItem_ = nullptr;
    if (hoverItem_ == &item) hoverItem_ = nullptr;
    if (focusedItem_ == &item) focusedItem_ = nullptr;
    for (CSkinWindowItemButton*& button : captionButtons_) {
        if (button && static_cast<CSkinWindowItem*>(button) == &item) button = nullptr;
    }
    if (capturedItem_ == &item) {
        capturedItem_ = nullptr;
        if (::GetCapture() == GetHandle() && GetHandle()) ::ReleaseCapture();
    }
    if (tooltip_ && item.GetTooltipState() == TooltipState::Registered) {
        FillToolInfo(item);
        ::SendMessageA(tooltip_.get(), TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&item.ToolInfo()));
        item.SetTooltipState(TooltipState::ToRegister);
    }
}

void CSkinWindow::RemoveAllItems() {
    for (const auto& item : items_) ForgetItem(*item);
    auto doomed = std::move(items_);
    items_.clear();
    doomed.clear();
}

CSkinWindowItem* CSkinWindow::FindItem(int id) {
    for (auto item = items_.rbegin(); item != items_.rend(); ++item) {
        if ((*item)->GetId() == id) return item->get();
    }
    return nullptr;
}

bool CSkinWindow::OwnsItem(const CSkinWindowItem* item) const noexcept {
    return item && std::any_of(items_.begin(), items_.end(), [item](const auto& own) { return own.get() == item; });
}

CSkinWindowItem* CSkinWindow::ItemAt(POINT point) const {
    for (auto item = items_.rbegin(); item != items_.rend(); ++item) {
        if ((*item)->IsVisible() && (*item)->IsHitTarget() && (*item)->Contains(point)) return item->get();
    }
    return nullptr;
}

CSkinWindowItemButton* CSkinWindow::GetCaptionButton(int role) const noexcept {
    return role >= 1 && role <= kCaptionButtonCount ? captionButtons_[role - 1] : nullptr;
}

// --- Composing ----------------------------------------------------------

CSkinImageList& CSkinWindow::GetImageCache() {
    if (!images_) images_ = std::make_unique<CSkinImageList>();
    return *images_;
}

CDIB& CSkinWindow::GetBackBuffer() { return backBuffer_; }

bool CSkinWindow::HasWindow() { return GetHandle() != nullptr; }

bool CSkinWindow::IsWindowReady() { return GetHandle() && backBuffer_.IsDrawable(); }

void CSkinWindow::DrawBackground(int x, int y, CDIB& buffer, const CDIB& image, const RECT* clip) {
    RECT area = buffer.ClipRect();
    if (clip && !::IntersectRect(&area, &area, clip)) return;
    const ClipScope scope(buffer, area);
    const RECT source = GetImageSourceRect();
    buffer.Blit(x, y, image.Width(), image.Height(), image, source.left, source.top);
}

void CSkinWindow::ComposeInto(const RECT* clip, bool inactiveImage) {
    RECT area{0, 0, backBuffer_.Width(), backBuffer_.Height()};
    if (clip && !::IntersectRect(&area, &area, clip)) return;
    const ClipScope scope(backBuffer_, area);
    FillBlack(backBuffer_, area);
    {
        const CLockedSkinImage image = inactiveImage ? GetInactiveImage() : GetActiveImage();
        if (image) DrawBackground(0, 0, backBuffer_, image.Image(), &area);
    }
    // Items drawing through GDI share one DC for the whole compose.
    const CBackBufferDCScope dcScope(backBuffer_);
    for (std::size_t at = 0; at < items_.size(); ++at) {
        CSkinWindowItem& item = *items_[at];
        if (!item.IsVisible()) continue;
        const RECT rect = item.GetRect();
        RECT overlap;
        if (clip && !::IntersectRect(&overlap, &rect, &area)) continue;
        item.Paint();
    }
}

bool CSkinWindow::RebuildBackBuffer(UINT, int cx, int cy) {
    const int width = std::max(cx, 1), height = std::max(cy, 1);
    // A buffer of the right size is composed again in place: a new DIB
    // section costs a page fault on every page when it is first filled.
    if (backBuffer_.IsDrawable() && backBuffer_.Width() == width && backBuffer_.Height() == height) {
        backBuffer_.SetClipRect(RECT{0, 0, width, height});
    } else {
        backBuffer_.Create(nullptr, width, height);
    }
    ComposeInto(nullptr, false);
    if (useRegion_) RebuildRegion();
    for (std::size_t at = 0; at < items_.size(); ++at) UpdateItemTooltip(*items_[at]);
    return true;
}

void CSkinWindow::RebuildRegion() {
    // Composed again, a buffer mostly comes out as it was: comparing it with
    // the pixels the shape was made from costs a fraction of making it anew.
    const int width = backBuffer_.Width(), height = backBuffer_.Height();
    const std::size_t bytes = static_cast<std::size_t>(backBuffer_.Stride()) * height;
    if (region_ && regionSize_.cx == width && regionSize_.cy == height && regionPixels_.size() == bytes &&
        SameBytes(regionPixels_.data(), backBuffer_.Bits(), bytes)) {
        return;
    }
    regionPixels_.clear();
    region_ = CreateRegionFromDIB(backBuffer_, 0, 0, width, height, kShapeKey);
    regionPixels_.assign(backBuffer_.Bits(), backBuffer_.Bits() + bytes);
    regionSize_ = SIZE{width, height};
}

void CSkinWindow::ApplyRegion() {
    if (!backBuffer_.IsDrawable() || !GetHandle()) return;
    if (!region_) RebuildRegion();
    // Giving the window the shape it already has costs a round of window
    // changes for nothing; it is repainted all the same.
    const lib::RegionHandle current(::CreateRectRgn(0, 0, 0, 0));
    if (current && ::GetWindowRgn(GetHandle(), current.get()) != ERROR && ::EqualRgn(current.get(), region_.get())) {
        InvalidateRect(nullptr, false);
        return;
    }
    SetRegion(region_.get());
}

void CSkinWindow::RedrawRect(const RECT& rect, bool) {
    if (!IsWindowReady()) return;
    if (redrawBatches_ > 0) {
        ::UnionRect(&batchedRedraw_, &batchedRedraw_, &rect);
        return;
    }
    const RedrawSuspension hold(*this);
    const RECT bounds{0, 0, backBuffer_.Width(), backBuffer_.Height()};
    RECT area;
    if (!::IntersectRect(&area, &rect, &bounds)) return;
    ComposeInto(&area, false);
    InvalidateRect(&area, false);
}

CSkinWindow::CRedrawBatch::CRedrawBatch(CSkinWindow& window) noexcept : window_(window) {
    ++window_.redrawBatches_;
}

CSkinWindow::CRedrawBatch::~CRedrawBatch() {
    if (open_ && --window_.redrawBatches_ == 0) window_.batchedRedraw_ = RECT{};
}

void CSkinWindow::CRedrawBatch::Commit() {
    if (!open_) return;
    open_ = false;
    if (--window_.redrawBatches_ > 0) return;
    const RECT collected = std::exchange(window_.batchedRedraw_, RECT{});
    if (!::IsRectEmpty(&collected)) window_.RedrawRect(collected, false);
}

bool CSkinWindow::SetRedrawSuspended(bool suspended) {
    const bool previous = std::exchange(redrawSuspended_, suspended);
    if (!suspended && HasWindow()) UpdateWindow();
    return previous;
}

void CSkinWindow::RebuildForActivation(bool showDisabledLook) {
    if (!IsWindowReady()) return;
    const RedrawSuspension hold(*this);
    {
        // The whole window is composed and invalidated next.
        const CRedrawBatch dropped(*this);
        for (CSkinWindowItemButton* button : captionButtons_) {
            if (button) button->SetShowDisabledLook(showDisabledLook);
        }
    }
    const RECT client = GetClientRect();
    RebuildBackBuffer(SIZE_RESTORED, client.right, client.bottom);
    // The shape only changes when a caption button's look changes it; an
    // unchanged one is not given to the window again.
    if (useRegion_ && region_) ApplyRegion();
    InvalidateRect(nullptr, true);
}

// --- Window -------------------------------------------------------------

LRESULT CSkinWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const bool hiding = message == WM_SHOWWINDOW && !wParam;
    const UINT activation = LOWORD(wParam);
    if ((message == WM_ACTIVATE && (activation == WA_ACTIVE || activation == WA_CLICKACTIVE)) || hiding) {
        if (GetHandle() && ::GetCapture() == GetHandle()) {
            if (capturedItem_) {
                EndItemCapture(true, CursorClientPoint());
            } else {
                ::ReleaseCapture();
            }
        }
        RebuildForActivation(false);
    }
    if (focusedItem_) {
        LRESULT result = 0;
        if (focusedItem_->PreTranslateMessage(message, wParam, lParam, &result)) return result;
    }
    if ((message == WM_ACTIVATE && activation == WA_INACTIVE) || hiding) {
        RebuildForActivation(true);
        if (tooltip_ && ::IsWindowVisible(tooltip_.get())) ::SendMessageA(tooltip_.get(), TTM_POP, 0, 0);
    }
    if (message == GetSkinReloadMessage() && wParam == 0 && IsWindowReady()) {
        const RedrawSuspension hold(*this);
        OnSkinReload();
        const RECT client = GetClientRect();
        RebuildBackBuffer(SIZE_RESTORED, client.right, client.bottom);
        if (useRegion_) ApplyRegion();
        RedrawRect(client, true);
    }
    return CRegionWindow::WindowProc(message, wParam, lParam);
}

bool CSkinWindow::OnCreate(CREATESTRUCTA* create) {
    if (!CRegionWindow::OnCreate(create)) return false;
    if (font_.Handle()) SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), FALSE);
    const RECT client = GetClientRect();
    RebuildBackBuffer(SIZE_RESTORED, client.right, client.bottom);
    for (std::size_t at = 0; at < items_.size(); ++at) items_[at]->OnWindowCreated(GetHandle(), 0, 0);
    if (focusedItem_) focusedItem_->OnSetFocus();

    tooltip_.reset(::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, GetHandle(), nullptr,
                                     lib::wfc::GetInstanceHandle(), nullptr));
    // Without a tooltip control the window works on, only without tips.
    if (tooltip_) {
        // Made with WS_EX_TOPMOST it normally is topmost already.
        if (!(::GetWindowLongA(tooltip_.get(), GWL_EXSTYLE) & WS_EX_TOPMOST)) {
            ::SetWindowPos(tooltip_.get(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
        ::SendMessageA(tooltip_.get(), TTM_SETMAXTIPWIDTH, 0, kMaxTooltipWidth);
        for (std::size_t at = 0; at < items_.size(); ++at) UpdateItemTooltip(*items_[at]);
        if (font_.Handle()) {
            ::SendMessageA(tooltip_.get(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), FALSE);
        }
        activator_.Attach(tooltip_.get(), false);
    }
    SetTimer(kAnimationTimer, kAnimationInterval);
    if (useRegion_) ApplyRegion();
    EnterLive(GetHandle());
    return true;
}

void CSkinWindow::OnDestroy() {
    DefaultProc();
    KillTimer(kAnimationTimer);
    activator_.Stop();
    tooltip_.reset();
    // A later Create makes a new tooltip control, where every tool is new.
    for (const auto& item : items_) {
        if (item->GetTooltipState() == TooltipState::Registered) item->SetTooltipState(TooltipState::ToRegister);
    }
    backBuffer_.Release();
    region_.reset();
    std::vector<BYTE>().swap(regionPixels_);
    LeaveLive(GetHandle());
}

void CSkinWindow::OnSize(UINT type, int cx, int cy) {
    {
        const RedrawSuspension hold(*this);
        if (RebuildBackBuffer(type, cx, cy)) {
            if (useRegion_) {
                ApplyRegion();
            } else {
                InvalidateRect(nullptr, false);
            }
        }
    }
    DefaultProc();
}

void CSkinWindow::OnPaint() {
    const lib::wfc::CPaintDC paint(GetHandle());
    if (!backBuffer_.IsDrawable()) return;
    const lib::wfc::CMemDC memory(paint.Handle());
    lib::wfc::DCStateSaver state(memory.Handle());
    state.SelectObject(lib::wfc::DCStateSaver::kBitmapSlot, backBuffer_.Handle());
    const RECT& area = paint.PaintRect();
    ::BitBlt(paint.Handle(), area.left, area.top, area.right - area.left, area.bottom - area.top, memory.Handle(),
             area.left, area.top, SRCCOPY);
}

bool CSkinWindow::OnEraseBkgnd(HDC) { return false; }

void CSkinWindow::OnDisplayChange(UINT, UINT, UINT) {}

void CSkinWindow::OnCommand(UINT, UINT, HWND) { DefaultProc(); }

void CSkinWindow::OnSetFocus(HWND) {
    if (focusedItem_) focusedItem_->OnSetFocus();
    DefaultProc();
}

void CSkinWindow::OnKillFocus(HWND) {
    if (focusedItem_) focusedItem_->OnKillFocus();
    DefaultProc();
}

void CSkinWindow::OnKeyDown(UINT vk, LPARAM) {
    if (vk == VK_RETURN) OnAcceptCancel(-1, true);
    if (vk == VK_ESCAPE) OnAcceptCancel(-1, false);
    DefaultProc();
}

void CSkinWindow::OnTimer(UINT_PTR id) {
    if (id != kAnimationTimer) {
        DefaultProc();
        return;
    }
    const DWORD now = ::GetTickCount();
    for (std::size_t at = 0; at < items_.size(); ++at) items_[at]->OnTimer(now);
    activator_.Check();
}

LRESULT CSkinWindow::OnNcHitTest(int x, int y) {
    const POINT point = ScreenToClient(POINT{x, y});
    const RECT client = GetClientRect();
    // Only the band inside the window, outside items, is a caption: a frame keeps its own codes.
    if (ItemAt(point) || point.y >= captionHeight_ || !::PtInRect(&client, point)) return DefaultProc();
    return HTCAPTION;
}

void CSkinWindow::OnNcMouseMove(UINT, int x, int y) {
    const POINT point = ScreenToClient(POINT{x, y});
    SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(static_cast<WORD>(point.x), static_cast<WORD>(point.y)));
    DefaultProc();
}

// --- Mouse --------------------------------------------------------------

POINT CSkinWindow::CursorClientPoint() const {
    POINT point{};
    ::GetCursorPos(&point);
    return ScreenToClient(point);
}

void CSkinWindow::SetFocusedItem(CSkinWindowItem* item) {
    if (item == focusedItem_) return;
    CSkinWindowItem* old = std::exchange(focusedItem_, item);
    if (old) old->OnKillFocus();
    if (focusedItem_) focusedItem_->OnSetFocus();
}

void CSkinWindow::SetHoverItem(CSkinWindowItem* item) {
    if (item == hoverItem_) return;
    CSkinWindowItem* old = std::exchange(hoverItem_, item);
    if (old) old->OnMouseLeave();
}

void CSkinWindow::OnMouseMove(UINT, int x, int y) {
    activator_.OnMouseMove(x, y);
    if (capturedItem_) {
        capturedItem_->OnMouseMove(x - capturedItem_->X(), y - capturedItem_->Y());
        return;
    }
    const POINT point{x, y};
    SetHoverItem(ItemAt(point));
    if (hoverItem_) hoverItem_->OnMouseMove(x - hoverItem_->X(), y - hoverItem_->Y());

    tooltipItem_ = nullptr;
    for (auto item = items_.rbegin(); item != items_.rend(); ++item) {
        CSkinWindowItem& candidate = **item;
        if (candidate.IsVisible() && candidate.IsHitTarget() && candidate.Contains(point) &&
            candidate.GetTooltipState() != TooltipState::None) {
            tooltipItem_ = &candidate;
            break;
        }
    }
    TRACKMOUSEEVENT track{sizeof track, TME_HOVER | TME_LEAVE, GetHandle(), HOVER_DEFAULT};
    ::TrackMouseEvent(&track);
}

void CSkinWindow::EndItemCapture(bool cancelled, POINT point) {
    CSkinWindowItem* item = std::exchange(capturedItem_, nullptr);
    if (GetHandle() && ::GetCapture() == GetHandle()) ::ReleaseCapture();
    OnCaptureReleased();
    if (!OwnsItem(item)) return;
    const int x = point.x - item->X(), y = point.y - item->Y();
    if (captureByLeftButton_) {
        if (cancelled) {
            item->OnLButtonCancel(x, y);
        } else {
            item->OnLButtonUp(x, y);
        }
    } else if (cancelled) {
        item->OnRButtonCancel(x, y);
    } else {
        item->OnRButtonUp(x, y);
    }
}

void CSkinWindow::ButtonDown(bool left, bool doubleClick, POINT point) {
    if (GetHandle()) ::SetFocus(GetHandle());
    if (doubleClick && capturedItem_) EndItemCapture(false, point);
    if (capturedItem_) return;
    CSkinWindowItem* item = ItemAt(point);
    if (!item) return;
    const int x = point.x - item->X(), y = point.y - item->Y();
    bool capture;
    if (left) {
        capture = doubleClick ? item->OnLButtonDblClk(x, y) : item->OnLButtonDown(x, y);
    } else {
        capture = doubleClick ? item->OnRButtonDblClk(x, y) : item->OnRButtonDown(x, y);
    }
    // The window may have dropped the item while it told the window about the click.
    if (!OwnsItem(item)) return;
    if (capture && GetHandle()) {
        ::SetCapture(GetHandle());
        capturedItem_ = item;
        captureByLeftButton_ = left;
    }
    if (!doubleClick) SetFocusedItem(item);
    SetHoverItem(item);
}

void CSkinWindow::ButtonUp(bool left, POINT point) {
    if (capturedItem_) {
        EndItemCapture(false, point);
        return;
    }
    if (CSkinWindowItem* item = ItemAt(point)) {
        const int x = point.x - item->X(), y = point.y - item->Y();
        if (left) {
            item->OnLButtonUp(x, y);
        } else {
            item->OnRButtonUp(x, y);
        }
    }
}

void CSkinWindow::OnLButtonDown(UINT, int x, int y) { ButtonDown(true, false, POINT{x, y}); }
void CSkinWindow::OnLButtonUp(UINT, int x, int y) { ButtonUp(true, POINT{x, y}); }
void CSkinWindow::OnLButtonDblClk(UINT, int x, int y) { ButtonDown(true, true, POINT{x, y}); }
void CSkinWindow::OnRButtonDown(UINT, int x, int y) { ButtonDown(false, false, POINT{x, y}); }
void CSkinWindow::OnRButtonUp(UINT, int x, int y) { ButtonUp(false, POINT{x, y}); }
void CSkinWindow::OnRButtonDblClk(UINT, int x, int y) { ButtonDown(false, true, POINT{x, y}); }

void CSkinWindow::OnMouseLeave() {
    if (CSkinWindowItem* item = std::exchange(hoverItem_, nullptr)) item->OnMouseLeave();
}

void CSkinWindow::OnCaptureChanged(HWND newCapture) {
    if (capturedItem_ && newCapture != GetHandle()) EndItemCapture(true, CursorClientPoint());
    DefaultProc();
}

bool CSkinWindow::OnSetCursor(LPARAM) {
    const POINT point = CursorClientPoint();
    if (CSkinWindowItem* item = ItemAt(point)) {
        if (item->OnSetCursor(point.x - item->X(), point.y - item->Y())) return true;
    }
    return DefaultProc() != 0;
}

void CSkinWindow::OnCaptureReleased() {}

// --- Keyboard and commands ----------------------------------------------

void CSkinWindow::OnAcceptCancel(int, bool) {}

bool CSkinWindow::ShouldForwardKey(WPARAM, LPARAM) { return false; }

void CSkinWindow::OnSkinReload() {}

bool CSkinWindow::NotifyCommand(int id, int code) {
    // Without a window the post would become a stray thread message.
    if (code != 0 || !HasWindow()) return false;
    PostMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), 1), 0);
    return true;
}

void CSkinWindow::Accept(int id) { OnAcceptCancel(id, true); }

void CSkinWindow::Cancel(int id) { OnAcceptCancel(id, false); }

bool CSkinWindow::ForwardKey(WPARAM wParam, LPARAM lParam) {
    if (!ShouldForwardKey(wParam, lParam)) return false;
    if (HasWindow()) PostMessage(WM_KEYDOWN, wParam, lParam);
    return true;
}

LRESULT CSkinWindow::SendWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return HasWindow() ? SendMessage(message, wParam, lParam) : 0;
}

CSkinWindowItem* CSkinWindow::GetCapturedItem() { return capturedItem_; }

// --- Tooltips -----------------------------------------------------------

void CSkinWindow::FillToolInfo(CSkinWindowItem& item) {
    TOOLINFOA& info = item.ToolInfo();
    info.cbSize = sizeof info;
    info.uFlags = TTF_SUBCLASS;
    info.hwnd = GetHandle();
    info.uId = static_cast<UINT_PTR>(item.GetId());
    info.hinst = lib::wfc::GetInstanceHandle();
    info.rect = item.GetRect();
}

void CSkinWindow::UpdateItemTooltip(CSkinWindowItem& item) {
    if (!IsWindowReady() || !tooltip_) return;
    const HWND tooltip = tooltip_.get();
    FillToolInfo(item);
    const auto info = reinterpret_cast<LPARAM>(&item.ToolInfo());
    switch (item.GetTooltipState()) {
    case TooltipState::ToRegister:
        ::SendMessageA(tooltip, TTM_DELTOOLA, 0, info);
        ::SendMessageA(tooltip, TTM_ADDTOOLA, 0, info);
        item.SetTooltipState(TooltipState::Registered);
        break;
    case TooltipState::Registered:
        ::SendMessageA(tooltip, TTM_NEWTOOLRECTA, 0, info);
        ::SendMessageA(tooltip, TTM_UPDATETIPTEXTA, 0, info);
        break;
    case TooltipState::ToRemove:
        ::SendMessageA(tooltip, TTM_DELTOOLA, 0, info);
        break;
    case TooltipState::None:
        break;
    }
}

void CSkinWindow::RefreshTooltips() {
    for (const auto& item : items_) {
        if (item->GetTooltipState() == TooltipState::None) continue;
        item->SetTooltipState(item->IsVisible() ? TooltipState::ToRegister : TooltipState::ToRemove);
    }
    for (std::size_t at = 0; at < items_.size(); ++at) UpdateItemTooltip(*items_[at]);
}

bool CSkinWindow::OnNotify(int id, NMHDR* header, LRESULT* result) {
    if (!header || header->code != TTN_GETDISPINFOA || !tooltip_ || header->hwndFrom != tooltip_.get()) {
        return CRegionWindow::OnNotify(id, header, result);
    }
    auto* info = reinterpret_cast<NMTTDISPINFOA*>(header);
    if (tooltipItem_ && tooltipItem_->IsEnabled()) {
        const std::string text = tooltipItem_->GetToolTipText();
        if (!text.empty()) {
            CopyTipText(text, info->szText);
            info->lpszText = info->szText;
            info->hinst = nullptr;
        }
    }
    *result = 0;
    return true;
}

// --- Live windows -------------------------------------------------------

bool IsLiveSkinWindow(HWND window) {
    LiveWindows& live = Live();
    lib::wfc::CriticalSectionLock hold(live.lock);
    return live.windows.count(window) != 0;
}

std::vector<HWND> LiveSkinWindows() {
    LiveWindows& live = Live();
    lib::wfc::CriticalSectionLock hold(live.lock);
    std::vector<HWND> windows;
    windows.reserve(live.windows.size());
    for (const auto& [window, same] : live.windows) windows.push_back(window);
    return windows;
}

}  // namespace ui
