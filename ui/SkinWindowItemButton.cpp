#include "ui/SkinWindowItemButton.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "lib/wfc/DC.h"
#include "lib/wfc/DCStateSaver.h"
#include "lib/wfc/DIB.h"
#include "lib/wfc/DefaultLogFont.h"
#include "lib/wfc/GlyphText.h"
#include "ui/CachedDIB.h"
#include "ui/SkinKeySchema.h"
#include "ui/SkinTextEscapes.h"
#include "ui/SkinValues.h"

namespace ui {
namespace {

constexpr COLORREF kKeyColor = RGB(255, 0, 255);
constexpr COLORREF kDisabledGrey = RGB(176, 176, 176);
constexpr DWORD kBlinkPeriod = 800;

constexpr SkinParameter S = SkinParameter::String;
constexpr SkinParameter I = SkinParameter::Integer;

constexpr SkinKeySchema kNormalImage{"NormalImage", {S, I, I}};
constexpr SkinKeySchema kPushImage{"PushImage", {S, I, I}};
constexpr SkinKeySchema kHotNormalImage{"HotNormalImage", {S, I, I}};
constexpr SkinKeySchema kHotPushImage{"HotPushImage", {S, I, I}};
constexpr SkinKeySchema kPushImageShift{"PushImageShift", {I, I}};
constexpr SkinKeySchema kToolTipText{"ToolTipText", {S}};
constexpr SkinKeySchema kToolTipTextP{"ToolTipTextP", {S}};
constexpr SkinKeySchema kImage{"Image", {S, I, I}};
constexpr SkinKeySchema kImageSize{"ImageSize", {I, I}};
constexpr SkinKeySchema kImageP{"ImageP", {S, I, I}};
constexpr SkinKeySchema kDisableImage{"DisableImage", {S, I, I}};
constexpr SkinKeySchema kDisableImageP{"DisableImageP", {S, I, I}};
constexpr SkinKeySchema kWidth{"Width", {I}};
constexpr SkinKeySchema kDivide{"Divide", {I, I, I}};
constexpr SkinKeySchema kText{"Text", {S}};
constexpr SkinKeySchema kTextP{"TextP", {S}};
constexpr SkinKeySchema kFont{"Font", {S, I, I}};
constexpr SkinKeySchema kTextColor{"TextColor", {I, I, I}};
constexpr SkinKeySchema kAntialias{"Antialias", {I}};
constexpr SkinKeySchema kTextIndent{"TextIndent", {I}};
constexpr SkinKeySchema kTextColorNormal{"TextColorNormal", {I, I, I}};
constexpr SkinKeySchema kTextColorDisable{"TextColorDisable", {I, I, I}};
constexpr SkinKeySchema kTextColorPush{"TextColorPush", {I, I, I}};
constexpr SkinKeySchema kTextColorHotNormal{"TextColorHotNormal", {I, I, I}};
constexpr SkinKeySchema kTextColorHotPush{"TextColorHotPush", {I, I, I}};
constexpr SkinKeySchema kShadowColor{"TextColorHotNormalShadow", {I, I, I}};
constexpr SkinKeySchema kShadowOffset{"TextShadowOffset", {I}};
constexpr SkinKeySchema kAutoDisable{"AutoDisable", {I}};

// A key of the block and the keys whose presence makes it required too.
struct KeyRule {
    const SkinKeySchema& schema;
    bool required;
    const char* with = nullptr;
    const char* alsoWith = nullptr;
};

bool Has(const SkinItemDefinition& item, std::string_view key) { return item.keys.count(std::string(key)) != 0; }

// Validates, in the order of the rules, every key that is required or present.
void ValidateButtonKeys(const SkinItemDefinition& item) {
    const KeyRule rules[] = {
        {kSkinPositionSchema, true},
        {kSkinSizeSchema, true},
        {kNormalImage, true},
        {kPushImage, true},
        {kHotNormalImage, true},
        {kHotPushImage, true},
        {kPushImageShift, true},
        {kToolTipText, true},
        {kToolTipTextP, false},
        {kImage, false},
        {kImageSize, false, "Image"},
        {kImageP, false, "Image"},
        {kDisableImage, false},
        {kDisableImageP, false},
        {kWidth, false, "Divide"},
        {kDivide, false, "Width"},
        {kText, false, "TextP"},
        {kTextP, false},
        {kFont, false, "Text", "TextP"},
        {kTextColor, false, "Text", "TextP"},
        {kAntialias, false},
        {kTextIndent, false},
        {kTextColorNormal, false},
        {kTextColorDisable, false, "TextColorNormal"},
        {kTextColorPush, false, "TextColorNormal"},
        {kTextColorHotNormal, false, "TextColorNormal"},
        {kTextColorHotPush, false, "TextColorNormal"},
        {kShadowColor, false},
        {kShadowOffset, false, "TextColorHotNormalShadow"},
        {kAutoDisable, false},
    };
    std::vector<SkinKeySchema> schemas;
    for (const KeyRule& rule : rules) {
        if (rule.required || Has(item, rule.schema.key) || (rule.with && Has(item, rule.with)) ||
            (rule.alsoWith && Has(item, rule.alsoWith))) {
            schemas.push_back(rule.schema);
        }
    }
    ValidateSkinKeys(item, schemas);
}

RECT SourceRect(POINT at, SIZE size) { return RECT{at.x, at.y, at.x + size.cx, at.y + size.cy}; }

}  // namespace

CSkinWindowItemButton::CSkinWindowItemButton(ISkinWindowItemAccessor& owner, int id,
                                             const SkinItemDefinition& definition, CSkinImageList& images)
    : CSkinWindowItem(owner, id), logFont_(lib::wfc::DefaultLogFont()) {
    SkinItemDefinition item = definition;
    CopySkinKeyWhenMissing(item, "ToolTipTextP", "ToolTipText");
    CopySkinKeyWhenMissing(item, "ImageP", "Image");
    ValidateButtonKeys(item);

    const POINT position = SkinPointAt(item, "Position");
    const SIZE size = SkinSizeAt(item, "Size");
    SetRect(position.x, position.y, position.x + size.cx, position.y + size.cy);

    // Hot, pushed and hot-pushed may stand at -1 for "in the strip below the normal image".
    const char* const stateKeys[] = {"NormalImage", "HotNormalImage", "PushImage", "HotPushImage"};
    POINT normal{};
    for (int index = kNormal; index <= kHotPush; ++index) {
        POINT at = SkinPointAt(item, stateKeys[index], 1);
        if (index == kNormal) {
            normal = at;
        } else {
            if (at.x == -1) at.x = normal.x;
            if (at.y == -1) at.y = normal.y + index * size.cy;
        }
        images_[index] = {SkinTextAt(item, stateKeys[index]), SourceRect(at, size)};
    }
    const SIZE markSize = Has(item, "ImageSize") ? SkinSizeAt(item, "ImageSize") : SIZE{};
    const std::pair<ImageIndex, const char*> optionalImages[] = {
        {kMark, "Image"}, {kMarkChecked, "ImageP"}, {kDisabled, "DisableImage"}, {kDisabledChecked, "DisableImageP"}};
    for (const auto& [index, key] : optionalImages) {
        if (!Has(item, key)) continue;
        const SIZE imageSize = index == kMark || index == kMarkChecked ? markSize : size;
        images_[index] = {SkinTextAt(item, key), SourceRect(SkinPointAt(item, key, 1), imageSize)};
    }

    pushShift_ = SkinPointAt(item, "PushImageShift");
    toolTip_ = SkinTextAt(item, "ToolTipText");
    toolTipChecked_ = SkinTextAt(item, "ToolTipTextP");

    if (Has(item, "Width")) {
        drawnWidth_ = SkinIntegerAt(item, "Width");
        divideLeft_ = SkinIntegerAt(item, "Divide", 0);
        divideMiddle_ = SkinIntegerAt(item, "Divide", 1);
        divideRight_ = SkinIntegerAt(item, "Divide", 2);
        SetSize(drawnWidth_, size.cy);
    }
    if (Has(item, "Text")) text_ = ResolveSkinLineBreaks(SkinTextAt(item, "Text"));
    if (Has(item, "TextP")) {
        textChecked_ = ResolveSkinLineBreaks(SkinTextAt(item, "TextP"));
        hasTextChecked_ = true;
    }
    if (Has(item, "Font")) logFont_ = SkinFontAt(item, "Font");
    if (Has(item, "TextColor")) textColor_ = textColorChecked_ = SkinColorAt(item, "TextColor");
    if (Has(item, "Antialias")) smoothText_ = SkinIntegerAt(item, "Antialias") != 0;
    if (Has(item, "TextIndent")) textIndent_ = SkinIntegerAt(item, "TextIndent");
    if (Has(item, "TextColorNormal")) {
        perStateColors_ = true;
        textColorNormal_ = SkinColorAt(item, "TextColorNormal");
        textColorDisable_ = SkinColorAt(item, "TextColorDisable");
        textColorPush_ = SkinColorAt(item, "TextColorPush");
        textColorHotNormal_ = SkinColorAt(item, "TextColorHotNormal");
        textColorHotPush_ = SkinColorAt(item, "TextColorHotPush");
    }
    if (Has(item, "TextColorHotNormalShadow")) {
        hasShadow_ = true;
        shadowColor_ = SkinColorAt(item, "TextColorHotNormalShadow");
        shadowOffset_ = SkinIntegerAt(item, "TextShadowOffset");
    }
    if (Has(item, "AutoDisable")) autoDisable_ = SkinIntegerAt(item, "AutoDisable");

    for (const ImageRecord& image : images_) {
        if (!image.name.empty()) images.Acquire(image.name);
    }
}

CSkinWindowItemButton::~CSkinWindowItemButton() = default;

std::string CSkinWindowItemButton::GetToolTipText() const { return checked_ ? toolTipChecked_ : toolTip_; }

bool CSkinWindowItemButton::IsHitTarget() const { return true; }

int CSkinWindowItemButton::OnItemCommand(int code, WPARAM wParam, LPARAM lParam) {
    switch (code) {
    case kButtonSetChecked:
        // A pressed button finishes its own gesture first.
        if (!pressed_ && (wParam != 0) != checked_) StoreChecked(wParam != 0);
        return 0;
    case kButtonGetChecked:
        return checked_ ? 1 : 0;
    case kButtonGetToggleAllowed:
        return toggleAllowed_ ? 1 : 0;
    case kButtonSetBlinking:
        if ((wParam != 0) != blinking_) {
            blinking_ = wParam != 0;
            // Stopping leaves the mark showing; starting goes on from the current phase.
            if (!blinking_) blinkOn_ = true;
            Invalidate();
        }
        return 0;
    case kButtonSetToggleMode:
        if (static_cast<int>(wParam) != toggleMode_) {
            toggleMode_ = static_cast<int>(wParam);
            Invalidate();
        }
        return 0;
    default:
        return CSkinWindowItem::OnItemCommand(code, wParam, lParam);
    }
}

void CSkinWindowItemButton::OnMouseMove(int x, int y) {
    if (!enabled_) return;
    const bool inside = Inside(x, y);
    const bool wasPushed = pushed_;
    const bool wasHot = hot_;
    if (pressed_) {
        if (inside != pushed_) {
            pushed_ = inside;
            Notify(inside ? kButtonPushedIn : kButtonPushedOut);
        }
        hot_ = !pushed_;
    } else {
        hot_ = inside;
    }
    Notify(kButtonMouseMove);
    if (pushed_ != wasPushed || hot_ != wasHot) Invalidate();
}

bool CSkinWindowItemButton::OnLButtonDown(int x, int y) {
    if (!enabled_ || pressed_) return false;
    pressed_ = true;
    OnMouseMove(x, y);
    return true;
}

bool CSkinWindowItemButton::OnLButtonDblClk(int x, int y) {
    if (!enabled_ || Owner().NotifyCommand(GetId(), kButtonDoubleClicked)) return false;
    return OnLButtonDown(x, y);
}

void CSkinWindowItemButton::OnLButtonUp(int x, int y) {
    if (enabled_ && pressed_) EndPress(x, y, true);
}

void CSkinWindowItemButton::OnLButtonCancel(int x, int y) {
    if (enabled_ && pressed_) EndPress(x, y, false);
}

void CSkinWindowItemButton::EndPress(int x, int y, bool click) {
    pressed_ = false;
    if (pushed_) {
        pushed_ = false;
        Notify(kButtonPushedOut);
        if (toggleMode_ == 1 && toggleAllowed_) OnItemCommand(kButtonSetChecked, checked_ ? 0 : 1, 0);
    }
    const bool inside = Inside(x, y);
    hot_ = inside;
    Invalidate();
    if (inside && click) Notify(kButtonClicked);
    Notify(kButtonReleased);
}

bool CSkinWindowItemButton::OnRButtonDown(int, int) {
    if (enabled_) Notify(kButtonRightDown);
    return false;
}

bool CSkinWindowItemButton::OnRButtonDblClk(int, int) {
    if (enabled_) Notify(kButtonRightDoubleClicked);
    return false;
}

void CSkinWindowItemButton::OnRButtonUp(int, int) {
    if (enabled_) Notify(kButtonRightUp);
}

void CSkinWindowItemButton::OnMouseLeave() {
    // A pressed button keeps its hot look until the press ends.
    const bool hot = pressed_;
    if (hot != hot_) {
        hot_ = hot;
        Invalidate();
    }
    Notify(kButtonMouseLeave);
}

bool CSkinWindowItemButton::OnSetCursor(int, int) {
    if (!enabled_ || !IsVisible()) return false;
    ::SetCursor(::LoadCursor(nullptr, handCursor_ ? IDC_HAND : IDC_ARROW));
    return true;
}

void CSkinWindowItemButton::OnTimer(DWORD tickCount) {
    if (!blinking_) return;
    const bool on = tickCount % kBlinkPeriod < kBlinkPeriod / 2;
    if (on != blinkOn_) {
        blinkOn_ = on;
        Invalidate();
    }
}

void CSkinWindowItemButton::OnEnabledChanged() {
    // Only an enabled button can be pressed, so this is the press ending by
    // disabling; there is no pointer position, so it counts as outside.
    if (pressed_) EndPress(-1, -1, false);
    if (!enabled_) hot_ = false;
    Invalidate();
}

void CSkinWindowItemButton::SetItemRect(const RECT& rect) {
    SetPosition(rect.left, rect.top);
    SetSize(rect.right - rect.left, Height());
    drawnWidth_ = Width();
}

void CSkinWindowItemButton::SetText(const std::string& text, bool autoSize) {
    text_ = ResolveSkinLineBreaks(text);
    const RECT before = GetRect();
    if (autoSize) {
        lib::wfc::CMemDC dc;
        lib::wfc::DCStateSaver state(dc.Handle());
        state.SelectObject(lib::wfc::DCStateSaver::kFontSlot, CaptionFont());
        RECT measured{0, 0, Width(), Height()};
        ::DrawTextA(dc.Handle(), text_.c_str(), static_cast<int>(text_.size()), &measured,
                    format_ | DT_CALCRECT | DT_NOPREFIX);
        drawnWidth_ = divideLeft_ + divideRight_ + (measured.right - measured.left);
        SetItemRect(RECT{X(), Y(), X() + drawnWidth_, Y() + Height()});
    }
    // A button that became narrower leaves its old area to be drawn again too.
    RECT area = GetRect();
    ::UnionRect(&area, &before, &area);
    Owner().RedrawRect(area, false);
}

void CSkinWindowItemButton::SetTextFormat(UINT format) {
    format_ = format;
    Invalidate();
}

void CSkinWindowItemButton::SetShowDisabledLook(bool show) {
    if (show == showDisabledLook_) return;
    showDisabledLook_ = show;
    Invalidate();
}

void CSkinWindowItemButton::SetAlpha(int alpha) {
    alpha = std::clamp(alpha, 0, 255);
    if (alpha == alpha_) return;
    alpha_ = alpha;
    Invalidate();
}

void CSkinWindowItemButton::Notify(int code) { Owner().NotifyCommand(GetId(), code); }

void CSkinWindowItemButton::SetDrawnState(bool pushed, bool hot) {
    if (pushed == pushed_ && hot == hot_) return;
    pushed_ = pushed;
    hot_ = hot;
    Invalidate();
}

void CSkinWindowItemButton::StoreChecked(bool checked) {
    checked_ = checked;
    Invalidate();
    Owner().UpdateItemTooltip(*this);
}

int CSkinWindowItemButton::StateIndex() const noexcept {
    if (pushed_) return hot_ ? kHotPush : showDisabledLook_ ? kDisabled : kPush;
    return hot_ ? kHotNormal : showDisabledLook_ ? kDisabled : kNormal;
}

const CSkinWindowItemButton::ImageRecord* CSkinWindowItemButton::MarkImage() const noexcept {
    bool drawnChecked;
    if (toggleMode_ == 1) {
        drawnChecked = blinking_ && enabled_ ? blinkOn_ : checked_;
    } else {
        drawnChecked = checked_ && (blinkOn_ || !enabled_);
    }
    const ImageRecord* mark = &images_[drawnChecked ? kMarkChecked : kMark];
    if (!enabled_) {
        const ImageRecord& disabled = images_[drawnChecked ? kDisabledChecked : kDisabled];
        if (!disabled.name.empty()) mark = &disabled;
    }
    return mark->name.empty() ? nullptr : mark;
}

COLORREF CSkinWindowItemButton::CaptionColor(int state) const noexcept {
    if (!perStateColors_) return enabled_ ? (checked_ ? textColorChecked_ : textColor_) : kDisabledGrey;
    if (!enabled_) return textColorDisable_;
    switch (state) {
    case kHotNormal:
        return textColorHotNormal_;
    case kPush:
        return textColorPush_;
    case kHotPush:
        return textColorHotPush_;
    case kDisabled:
        return textColorDisable_;
    default:
        return textColorNormal_;
    }
}

HFONT CSkinWindowItemButton::CaptionFont() {
    if (!font_.Handle()) font_.Create(logFont_);
    return font_.Handle();
}

bool CSkinWindowItemButton::PictureKey::operator==(const PictureKey& other) const {
    return width == other.width && height == other.height && drawnWidth == other.drawnWidth &&
           state == other.state && mark == other.mark && pushed == other.pushed && color == other.color &&
           format == other.format && caption == other.caption;
}

void CSkinWindowItemButton::Paint() {
    if (!IsVisible() || Width() <= 0 || Height() <= 0) return;
    lib::wfc::CDIB& buffer = Owner().GetBackBuffer();
    if (!buffer.IsDrawable()) return;

    PictureKey key;
    key.width = Width();
    key.height = Height();
    key.drawnWidth = drawnWidth_;
    key.state = StateIndex();
    key.mark = MarkImage();
    key.pushed = pushed_;
    key.caption = checked_ && hasTextChecked_ ? textChecked_ : text_;
    key.color = key.caption.empty() ? 0 : CaptionColor(key.state);
    key.format = format_;
    if (!pictureValid_ || !(key == pictureKey_)) {
        pictureValid_ = false;
        DrawPicture(key);
        pictureKey_ = std::move(key);
        pictureValid_ = true;
    }

    // Opaque while the pointer works on it, so that the user sees what is hit.
    if (alpha_ == 255 || hot_ || pressed_) {
        buffer.Blit(X(), Y(), Width(), Height(), picture_, 0, 0, kKeyColor);
    } else {
        buffer.BlendBlit(X(), Y(), Width(), Height(), picture_, 0, 0, alpha_, kKeyColor);
    }
}

void CSkinWindowItemButton::DrawPicture(const PictureKey& key) {
    if (!picture_.IsDrawable() || picture_.Width() != key.width || picture_.Height() != key.height) {
        picture_.Create(nullptr, key.width, key.height, 24);
    }
    picture_.Fill(kKeyColor);
    {
        // A skin without the disabled look keeps showing the normal one.
        const ImageRecord& background = images_[key.state].name.empty() ? images_[kNormal] : images_[key.state];
        const CLockedSkinImage image = Owner().GetImageCache().Lock(background.name);
        if (image && image.Image().IsDrawable()) DrawBackground(picture_, image.Image(), background.source);
    }
    if (const ImageRecord* mark = key.mark) {
        const CLockedSkinImage image = Owner().GetImageCache().Lock(mark->name);
        if (image && image.Image().IsDrawable()) {
            const POINT at = key.pushed ? pushShift_ : POINT{0, 0};
            picture_.Blit(at.x, at.y, mark->source.right - mark->source.left, mark->source.bottom - mark->source.top,
                          image.Image(), mark->source.left, mark->source.top, kKeyColor);
        }
    }
    if (!key.caption.empty()) DrawCaption(picture_, key.caption, key.state);
}

void CSkinWindowItemButton::DrawBackground(lib::wfc::CDIB& target, const lib::wfc::CDIB& source,
                                           const RECT& from) const {
    const int height = Height();
    if (drawnWidth_ == 0) {
        target.Blit(0, 0, Width(), height, source, from.left, from.top, kKeyColor);
        return;
    }
    const int width = Width();
    const int left = std::clamp(divideLeft_, 0, width);
    const int right = std::clamp(divideRight_, 0, width - left);
    const int middle = width - left - right;
    target.Blit(0, 0, left, height, source, from.left, from.top, kKeyColor);
    target.Blit(width - right, 0, right, height, source, from.right - right, from.top, kKeyColor);
    // Slices wider than the source leave no middle section to repeat.
    const int piece = (from.right - from.left) - divideLeft_ - divideRight_;
    if (piece <= 0) return;
    for (int x = left; x < left + middle; x += piece) {
        target.Blit(x, 0, std::min(piece, left + middle - x), height, source, from.left + divideLeft_, from.top,
                    kKeyColor);
    }
}

void CSkinWindowItemButton::DrawCaption(lib::wfc::CDIB& target, const std::string& text, int state) {
    RECT rect{0, 0, Width(), Height()};
    if (pushed_) ::OffsetRect(&rect, pushShift_.x, pushShift_.y);
    rect.left += textIndent_;
    if ((rect.bottom - rect.top) % 2 != 0) ++rect.bottom;

    lib::wfc::CMemDC dc;
    lib::wfc::DCStateSaver saver(dc.Handle());
    saver.SelectObject(lib::wfc::DCStateSaver::kBitmapSlot, target.Handle());
    saver.SelectObject(lib::wfc::DCStateSaver::kFontSlot, CaptionFont());
    saver.SetBkMode(TRANSPARENT);
    const int length = static_cast<int>(text.size());
    if ((format_ & DT_VCENTER) && !(format_ & DT_SINGLELINE)) {
        // DrawTextA centres single lines only; a block is centred by hand.
        RECT measured = rect;
        ::DrawTextA(dc.Handle(), text.c_str(), length, &measured, format_ | DT_CALCRECT | DT_NOPREFIX);
        rect.top += (rect.bottom - rect.top) / 2 - (measured.bottom - measured.top) / 2;
    }
    const auto draw = [&](RECT where, COLORREF color) {
        saver.SetTextColor(color);
        if (smoothText_ && lib::wfc::DrawGlyphText(dc.Handle(), &target.Header(), target.Bits(), text.c_str(),
                                                   &where, format_ & ~static_cast<UINT>(DT_NOPREFIX), nullptr)) {
            return;
        }
        lib::wfc::DrawTextNoPrefix(dc.Handle(), text.c_str(), length, &where, format_);
    };
    if (state == kHotNormal && hasShadow_) {
        RECT shadow = rect;
        ::OffsetRect(&shadow, shadowOffset_, shadowOffset_);
        draw(shadow, shadowColor_);
    }
    draw(rect, CaptionColor(state));
    // GDI may still hold text for the bitmap; the blit reads its memory directly.
    ::GdiFlush();
}

}  // namespace ui
