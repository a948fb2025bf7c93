#include "ui/SkinWindowItemStatic.h"

#include "ui/SkinKeySchema.h"
#include "ui/SkinTextEscapes.h"
#include "ui/SkinValues.h"

namespace ui {
namespace {

constexpr SkinParameter I = SkinParameter::Integer;
constexpr SkinKeySchema kFontSchema{"Font", {SkinParameter::String, I, I}};
constexpr SkinKeySchema kAntialiasSchema{"Antialias", {I}};
constexpr SkinKeySchema kColorSchema{"Color", {I, I, I}};
constexpr SkinKeySchema kAlignmentSchema{"Alignment", {I}};
constexpr SkinKeySchema kTextSchema{"Text", {SkinParameter::String}};

}  // namespace

CSkinWindowItemStatic::CSkinWindowItemStatic(ISkinWindowItemAccessor& owner, int id,
                                             const SkinItemDefinition& definition, CSkinImageList&)
    : CSkinWindowItem(owner, id) {
    ValidateSkinKeys(definition, {kSkinPositionSchema, kSkinSizeSchema, kFontSchema});
    const RECT rect = SkinItemRect(definition);
    SetRect(rect.left, rect.top, rect.right, rect.bottom);
    style_ = ReadSkinTextStyle(definition, "Font", "Color");
    style_.format = DT_WORDBREAK;
    const auto has = [&definition](const SkinKeySchema& schema) {
        if (!definition.keys.count(std::string(schema.key))) return false;
        ValidateSkinKeys(definition, {schema});
        return true;
    };
    if (has(kColorSchema)) style_.color = SkinColorAt(definition, "Color");
    if (has(kAntialiasSchema)) style_.smooth = SkinIntegerAt(definition, "Antialias") != 0;
    if (has(kAlignmentSchema)) {
        const int alignment = SkinIntegerAt(definition, "Alignment");
        if (alignment == 0) style_.format |= DT_CENTER;
        if (alignment == 1) style_.format |= DT_RIGHT;
    }
    if (has(kTextSchema)) text_ = ResolveSkinLineBreaks(SkinTextAt(definition, "Text"));
}

std::string CSkinWindowItemStatic::GetToolTipText() const { return toolTipText_; }
bool CSkinWindowItemStatic::IsHitTarget() const { return false; }

void CSkinWindowItemStatic::Paint() {
    if (!IsVisible()) return;
    lib::wfc::CDIB& buffer = Owner().GetBackBuffer();
    const COLORREF color = IsEnabled() ? style_.color : DisabledColor(style_.color);
    const RECT rect = GetRect();
    if (style_.smooth && DrawSmoothText(buffer, rect, color)) return;
    DrawPlainText(buffer, rect, color);
}

void CSkinWindowItemStatic::SetItemRect(const RECT& rect) { SetRect(rect.left, rect.top, rect.right, rect.bottom); }
void CSkinWindowItemStatic::OnEnabledChanged() { Invalidate(); }

void CSkinWindowItemStatic::DrawPlainText(lib::wfc::CDIB& buffer, const RECT& rect, COLORREF color) {
    painter_.DrawPlain(buffer, text_, rect, style_, color, true);
}

bool CSkinWindowItemStatic::DrawSmoothText(lib::wfc::CDIB& buffer, const RECT& rect, COLORREF color) {
    return painter_.DrawSmooth(buffer, text_, rect, style_, color);
}

void CSkinWindowItemStatic::SetText(const std::string& text) {
    text_ = ResolveSkinLineBreaks(text);
    if (Owner().HasWindow()) Invalidate();
}

void CSkinWindowItemStatic::SetTextColor(COLORREF color) {
    style_.color = color;
    if (Owner().HasWindow()) Invalidate();
}

SIZE CSkinWindowItemStatic::MeasureText(const std::string& text) const {
    return painter_.Measure(ResolveSkinLineBreaks(text), SIZE{Width(), Height()}, style_);
}

}  // namespace ui
