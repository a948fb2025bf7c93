#pragma once
// Lines and glyph advances of a text as the anti-aliased text renderer lays
// it out with a DC's selected font.
#include <windows.h>

#include <vector>

namespace lib::wfc {

struct GlyphLine {
    std::vector<UINT> glyphs;  // single bytes, or lead << 8 | trail
    std::vector<int> advances;
    int width = 0;
};

class GlyphLayout {
public:
    // Splits `text` into lines (line feeds, carriage returns skipped; with
    // DT_SINGLELINE one line holding them as glyphs) and measures every glyph.
    // False when a glyph cannot be measured.
    bool Measure(HDC dc, const char* text, UINT format);

    const std::vector<GlyphLine>& Lines() const noexcept { return lines_; }
    int LineHeight() const noexcept { return lineHeight_; }
    int Ascent() const noexcept { return ascent_; }
    int BlockWidth() const noexcept { return blockWidth_; }
    int BlockHeight() const noexcept { return lineHeight_ * static_cast<int>(lines_.size()); }

private:
    std::vector<GlyphLine> lines_;
    int lineHeight_ = 0;
    int ascent_ = 0;
    int blockWidth_ = 0;
};

// The identity transformation GetGlyphOutlineA asks for.
const MAT2& IdentityMatrix();

}  // namespace lib::wfc
