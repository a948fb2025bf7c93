#include "ui/SkinItemText.h"

#include "lib/wfc/DC.h"
#include "lib/wfc/DCStateSaver.h"
#include "lib/wfc/DefaultLogFont.h"
#include "lib/wfc/Font.h"
#include "lib/wfc/GlyphText.h"
#include "ui/BackBufferDC.h"
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

}  // namespace

SkinTextStyle ReadSkinTextStyle(const SkinItemDefinition& item, const char* fontKey, const char* colorKey) {
    SkinTextStyle style;
    style.font = SkinFontAt(item, fontKey);
    if (item.keys.count(colorKey)) style.color = SkinColorAt(item, colorKey);
    return style;
}

bool DrawSkinTextSmooth(lib::wfc::CDIB& buffer, const std::string& text, const RECT& rect, const SkinTextStyle& style,
                        COLORREF color) {
    if (text.empty() || !buffer.IsDrawable()) return true;
    lib::wfc::CFont font;
    font.Create(style.font);
    CBackBufferDC dc(buffer);
    dc.State().SelectObject(lib::wfc::DCStateSaver::kFontSlot, font.Handle());
    dc.State().SetTextColor(color);
    RECT drawn = rect;
    return lib::wfc::DrawGlyphText(dc.Handle(), &buffer.Header(), buffer.Bits(), text.c_str(), &drawn, style.format,
                                   &buffer.ClipRect());
}

void DrawSkinTextPlain(lib::wfc::CDIB& buffer, const std::string& text, RECT rect, const SkinTextStyle& style,
                       COLORREF color, bool liftByLeading) {
    if (text.empty() || !buffer.IsDrawable()) return;
    lib::wfc::CFont font;
    font.Create(style.font);
    CBackBufferDC dc(buffer);
    dc.State().SelectObject(lib::wfc::DCStateSaver::kFontSlot, font.Handle());
    dc.State().SetTextColor(color);
    dc.State().SetBkMode(TRANSPARENT);
    if (liftByLeading) {
        TEXTMETRICA metrics{};
        if (::GetTextMetricsA(dc.Handle(), &metrics)) rect.top -= metrics.tmInternalLeading / 2;
    }
    lib::wfc::DrawTextNoPrefix(dc.Handle(), text.c_str(), static_cast<int>(text.size()), &rect, style.format);
}

void DrawSkinText(lib::wfc::CDIB& buffer, const std::string& text, const RECT& rect, const SkinTextStyle& style,
                  COLORREF color) {
    if (style.smooth && DrawSkinTextSmooth(buffer, text, rect, style, color)) return;
    DrawSkinTextPlain(buffer, text, rect, style, color, false);
}

SIZE MeasureSkinText(const std::string& text, SIZE box, const SkinTextStyle& style) {
    lib::wfc::CFont font;
    font.Create(style.font);
    lib::wfc::CMemDC dc;
    lib::wfc::DCStateSaver state(dc.Handle());
    state.SelectObject(lib::wfc::DCStateSaver::kFontSlot, font.Handle());
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
    DrawSkinText(buffer, text, at, style, enabled ? style.color : DisabledColor(style.color));
}

}  // namespace ui
