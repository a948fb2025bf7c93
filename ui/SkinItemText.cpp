#include "ui/SkinItemText.h"

#include <cstring>

#include "lib/wfc/DC.h"
#include "lib/wfc/DCStateSaver.h"
#include "lib/wfc/DefaultLogFont.h"
#include "lib/wfc/GlyphText.h"
#include "ui/BackBufferDC.h"
#include "ui/PixelBytes.h"
#include "ui/SkinKeySchema.h"
#include "ui/SkinValues.h"
#include "ui/SkinWindowItem.h"

namespace ui {
namespace {

constexpr SkinParameter S = SkinParameter::String;
constexpr SkinParameter I = SkinParameter::Integer;

constexpr SkinKeySchema kTextSchema{"Text", {S}};
constexpr SkinKeySchema kTextPositionSchema{"TextPosition", {I, I}};
constexpr SkinKeySchema kTextSizeSchema{"TextSize", {I, I}};
constexpr SkinKeySchema kTextFontSchema{"TextFont", {S, I, I}};
constexpr SkinKeySchema kTextAntialiasSchema{"TextAntialias", {I}};
constexpr SkinKeySchema kTextColorSchema{"TextColor", {I, I, I}};

bool SameFont(const LOGFONTA& a, const LOGFONTA& b) noexcept {
    return a.lfHeight == b.lfHeight && a.lfWidth == b.lfWidth && a.lfEscapement == b.lfEscapement &&
           a.lfOrientation == b.lfOrientation && a.lfWeight == b.lfWeight && a.lfItalic == b.lfItalic &&
           a.lfUnderline == b.lfUnderline && a.lfStrikeOut == b.lfStrikeOut && a.lfCharSet == b.lfCharSet &&
           a.lfOutPrecision == b.lfOutPrecision && a.lfClipPrecision == b.lfClipPrecision &&
           a.lfQuality == b.lfQuality && a.lfPitchAndFamily == b.lfPitchAndFamily &&
           std::strncmp(a.lfFaceName, b.lfFaceName, LF_FACESIZE) == 0;
}

std::size_t AreaRowBytes(const RECT& area) { return 3 * static_cast<std::size_t>(area.right - area.left); }

BYTE* AreaRow(const lib::wfc::CDIB& buffer, const RECT& area, int y) {
    return buffer.Row(y) + 3 * static_cast<std::ptrdiff_t>(area.left);
}

void CopyArea(const lib::wfc::CDIB& buffer, const RECT& area, std::vector<BYTE>& pixels) {
    const std::size_t row = AreaRowBytes(area);
    pixels.resize(row * static_cast<std::size_t>(area.bottom - area.top));
    for (int y = area.top; y < area.bottom; ++y) {
        std::memcpy(&pixels[row * static_cast<std::size_t>(y - area.top)], AreaRow(buffer, area, y), row);
    }
}

bool SameArea(const lib::wfc::CDIB& buffer, const RECT& area, const std::vector<BYTE>& pixels) {
    const std::size_t row = AreaRowBytes(area);
    if (pixels.size() != row * static_cast<std::size_t>(area.bottom - area.top)) return false;
    for (int y = area.top; y < area.bottom; ++y) {
        if (!SameBytes(&pixels[row * static_cast<std::size_t>(y - area.top)], AreaRow(buffer, area, y), row)) {
            return false;
        }
    }
    return true;
}

void PasteArea(lib::wfc::CDIB& buffer, const RECT& area, const std::vector<BYTE>& pixels) {
    const std::size_t row = AreaRowBytes(area);
    for (int y = area.top; y < area.bottom; ++y) {
        std::memcpy(AreaRow(buffer, area, y), &pixels[row * static_cast<std::size_t>(y - area.top)], row);
    }
}

// The pixels a drawing into `drawn` may touch: within the buffer's clip and
// the buffer. False when there are none, or when the format lets the text
// leave its rectangle or draws nothing.
bool DrawnArea(const lib::wfc::CDIB& buffer, const RECT& drawn, UINT format, RECT* area) {
    if (format & (DT_NOCLIP | DT_CALCRECT)) return false;
    const RECT bounds{0, 0, buffer.Width(), buffer.Height()};
    return ::IntersectRect(area, &drawn, &buffer.ClipRect()) && ::IntersectRect(area, area, &bounds);
}

}  // namespace

SkinTextStyle ReadSkinTextStyle(const SkinItemDefinition& item, const char* fontKey, const char* colorKey) {
    SkinTextStyle style;
    style.font = SkinFontAt(item, fontKey);
    if (item.keys.count(colorKey)) style.color = SkinColorAt(item, colorKey);
    return style;
}

HFONT CSkinFontCache::Get(const LOGFONTA& font) {
    if (!handle_.Handle() || !SameFont(font, font_)) {
        handle_.Create(font);
        font_ = font;
    }
    return handle_.Handle();
}

bool CSkinTextPainter::TryReplay(Replay& slot, lib::wfc::CDIB& buffer, const std::string& text, const RECT& rect,
                                 bool lift, const SkinTextStyle& style, COLORREF color, bool* result) {
    RECT area{};
    if (!slot.valid || slot.lift != lift || slot.color != color || slot.format != style.format ||
        !::EqualRect(&slot.rect, &rect) || !SameFont(slot.font, style.font) || slot.text != text ||
        !DrawnArea(buffer, slot.drawn, style.format, &area) || !::EqualRect(&slot.area, &area) ||
        !SameArea(buffer, area, slot.before)) {
        return false;
    }
    if (slot.changed) PasteArea(buffer, area, slot.after);
    *result = slot.result;
    return true;
}

void CSkinTextPainter::Record(Replay& slot, const lib::wfc::CDIB& buffer, const std::string& text, const RECT& rect,
                              bool lift, const SkinTextStyle& style, COLORREF color, const RECT& drawn,
                              const RECT& area, bool result) {
    CopyArea(buffer, area, slot.after);
    slot.changed = slot.after.size() != slot.before.size() ||
                   !SameBytes(slot.after.data(), slot.before.data(), slot.after.size());
    // An attempt that drew nothing (a format the renderer refuses) needs no second copy.
    if (!slot.changed) std::vector<BYTE>().swap(slot.after);
    slot.text = text;
    slot.rect = rect;
    slot.lift = lift;
    slot.font = style.font;
    slot.format = style.format;
    slot.color = color;
    slot.drawn = drawn;
    slot.area = area;
    slot.result = result;
    slot.valid = true;
}

bool CSkinTextPainter::DrawSmooth(lib::wfc::CDIB& buffer, const std::string& text, const RECT& rect,
                                  const SkinTextStyle& style, COLORREF color) {
    if (text.empty() || !buffer.IsDrawable()) return true;
    bool drawn = false;
    if (TryReplay(smooth_, buffer, text, rect, false, style, color, &drawn)) return drawn;
    smooth_.valid = false;
    RECT area{};
    const bool remember = DrawnArea(buffer, rect, style.format, &area);
    if (remember) CopyArea(buffer, area, smooth_.before);
    {
        CBackBufferDC dc(buffer);
        dc.State().SelectObject(lib::wfc::DCStateSaver::kFontSlot, font_.Get(style.font));
        dc.State().SetTextColor(color);
        RECT target = rect;
        drawn = lib::wfc::DrawGlyphText(dc.Handle(), &buffer.Header(), buffer.Bits(), text.c_str(), &target,
                                        style.format, &buffer.ClipRect());
    }
    if (remember) Record(smooth_, buffer, text, rect, false, style, color, rect, area, drawn);
    return drawn;
}

void CSkinTextPainter::DrawPlain(lib::wfc::CDIB& buffer, const std::string& text, const RECT& rect,
                                 const SkinTextStyle& style, COLORREF color, bool liftByLeading) {
    if (text.empty() || !buffer.IsDrawable()) return;
    bool unused = false;
    if (TryReplay(plain_, buffer, text, rect, liftByLeading, style, color, &unused)) return;
    plain_.valid = false;
    RECT target = rect;
    RECT area{};
    bool remember = false;
    {
        CBackBufferDC dc(buffer);
        dc.State().SelectObject(lib::wfc::DCStateSaver::kFontSlot, font_.Get(style.font));
        dc.State().SetTextColor(color);
        dc.State().SetBkMode(TRANSPARENT);
        if (liftByLeading) {
            TEXTMETRICA metrics{};
            if (::GetTextMetricsA(dc.Handle(), &metrics)) target.top -= metrics.tmInternalLeading / 2;
        }
        remember = DrawnArea(buffer, target, style.format, &area);
        if (remember) CopyArea(buffer, area, plain_.before);
        RECT drawn = target;
        lib::wfc::DrawTextNoPrefix(dc.Handle(), text.c_str(), static_cast<int>(text.size()), &drawn, style.format);
    }
    if (remember) Record(plain_, buffer, text, rect, liftByLeading, style, color, target, area, true);
}

void CSkinTextPainter::Draw(lib::wfc::CDIB& buffer, const std::string& text, const RECT& rect,
                            const SkinTextStyle& style, COLORREF color) {
    if (style.smooth && DrawSmooth(buffer, text, rect, style, color)) return;
    DrawPlain(buffer, text, rect, style, color, false);
}

SIZE CSkinTextPainter::Measure(const std::string& text, SIZE box, const SkinTextStyle& style) {
    lib::wfc::CMemDC dc;
    lib::wfc::DCStateSaver state(dc.Handle());
    state.SelectObject(lib::wfc::DCStateSaver::kFontSlot, font_.Get(style.font));
    RECT rect{0, 0, box.cx, box.cy};
    lib::wfc::DrawTextNoPrefix(dc.Handle(), text.c_str(), static_cast<int>(text.size()), &rect,
                               style.format | DT_CALCRECT);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

void SkinItemCaption::Read(const SkinItemDefinition& item) {
    style.font = lib::wfc::DefaultLogFont();
    style.format = DT_VCENTER | DT_SINGLELINE;
    style.smooth = true;
    if (!item.keys.count("Text")) return;
    ValidateSkinKeys(item, {kTextSchema, kTextPositionSchema, kTextSizeSchema, kTextFontSchema,
                            kTextAntialiasSchema, kTextColorSchema});
    text = SkinTextAt(item, "Text");
    const POINT position = SkinPointAt(item, "TextPosition");
    const SIZE size = SkinSizeAt(item, "TextSize");
    rect = RECT{position.x, position.y, position.x + size.cx, position.y + size.cy};
    style.font = SkinFontAt(item, "TextFont");
    style.smooth = SkinIntegerAt(item, "TextAntialias") != 0;
    style.color = SkinColorAt(item, "TextColor");
}

void SkinItemCaption::Draw(lib::wfc::CDIB& buffer, int x, int y, bool enabled) const {
    if (text.empty()) return;
    const RECT at{x + rect.left, y + rect.top, x + rect.right, y + rect.bottom};
    painter_.Draw(buffer, text, at, style, enabled ? style.color : DisabledColor(style.color));
}

}  // namespace ui
