#include "lib/wfc/GlyphLayout.h"

#include <algorithm>

namespace lib::wfc {
namespace {

// The code of the character at text[*i], advancing *i past it: a valid
// double-byte pair of the code page as one code, anything else as one byte.
UINT NextGlyph(const char* text, std::size_t* i) {
    const BYTE lead = static_cast<BYTE>(text[*i]);
    const BYTE trail = static_cast<BYTE>(text[*i + 1]);
    WCHAR wide;
    if (trail && ::IsDBCSLeadByte(lead) &&
        ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text + *i, 2, &wide, 1) == 1) {
        *i += 2;
        return static_cast<UINT>(lead) << 8 | trail;
    }
    *i += 1;
    return lead;
}

}  // namespace

const MAT2& IdentityMatrix() {
    static const MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    return identity;
}

bool GlyphLayout::Measure(HDC dc, const char* text, UINT format) {
    TEXTMETRICA metrics{};
    if (!::GetTextMetricsA(dc, &metrics)) return false;
    lineHeight_ = metrics.tmHeight + ((format & DT_EXTERNALLEADING) ? metrics.tmExternalLeading : 0);
    ascent_ = metrics.tmAscent;
    blockWidth_ = 0;
    lines_.assign(1, GlyphLine{});

    const bool multiLine = !(format & DT_SINGLELINE);
    for (std::size_t i = 0; text[i];) {
        if (multiLine && text[i] == '\r') {
            ++i;
            continue;
        }
        if (multiLine && text[i] == '\n') {
            ++i;
            lines_.emplace_back();
            continue;
        }
        const UINT glyph = NextGlyph(text, &i);
        GLYPHMETRICS glyphMetrics{};
        if (::GetGlyphOutlineA(dc, glyph, GGO_METRICS, &glyphMetrics, 0, nullptr, &IdentityMatrix()) == GDI_ERROR) {
            return false;
        }
        GlyphLine& line = lines_.back();
        line.glyphs.push_back(glyph);
        line.advances.push_back(glyphMetrics.gmCellIncX);
        line.width += glyphMetrics.gmCellIncX;
    }
    for (const GlyphLine& line : lines_) blockWidth_ = std::max(blockWidth_, line.width);
    return true;
}

}  // namespace lib::wfc
