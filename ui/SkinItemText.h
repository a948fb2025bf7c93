#pragma once
// Text of skin items drawn into the window's back buffer: the anti-aliased
// renderer when asked for and able, DrawTextA otherwise; and the measuring
// that windows sizing themselves to a text rely on.
#include <windows.h>

#include <string>
#include <vector>

#include "lib/wfc/DIB.h"
#include "lib/wfc/Font.h"
#include "ui/SkinDefinition.h"

namespace ui {

struct SkinTextStyle {
    LOGFONTA font;
    COLORREF color = 0;
    UINT format = 0;
    bool smooth = false;
};

// A style's font and colour from the font and colour keys of a block; the
// colour is black when the block lacks that key.
SkinTextStyle ReadSkinTextStyle(const SkinItemDefinition& item, const char* fontKey, const char* colorKey);

// The font of one item's text: made on first use and again only when the
// description changes, not on every paint.
class CSkinFontCache {
public:
    HFONT Get(const LOGFONTA& font);

private:
    LOGFONTA font_{};
    lib::wfc::CFont handle_;
};

// Draws one item's text again and again. Rendering text asks GDI for every
// glyph on each call, which makes text the dearest part of a compose. Both
// ways of drawing are deterministic and touch only the text's rectangle
// within the clip, so a drawing with the same text, style and colour onto the
// same pixels is replayed from the pixels it left last time instead; a
// failed anti-aliased attempt is remembered with its result in the same way.
class CSkinTextPainter {
public:
    CSkinTextPainter() = default;
    CSkinTextPainter(const CSkinTextPainter&) = delete;
    CSkinTextPainter& operator=(const CSkinTextPainter&) = delete;

    // Draws `text` into `rect` of the buffer, transparently, in `color`, with
    // the anti-aliased renderer; false when it cannot draw the text or format.
    bool DrawSmooth(lib::wfc::CDIB& buffer, const std::string& text, const RECT& rect, const SkinTextStyle& style,
                    COLORREF color);
    // The same with DrawTextA, the rectangle first lifted by half the font's
    // internal leading when `liftByLeading`.
    void DrawPlain(lib::wfc::CDIB& buffer, const std::string& text, const RECT& rect, const SkinTextStyle& style,
                   COLORREF color, bool liftByLeading);
    // Smooth when the style asks for it and the renderer can, plain otherwise.
    void Draw(lib::wfc::CDIB& buffer, const std::string& text, const RECT& rect, const SkinTextStyle& style,
              COLORREF color);
    // The size DrawTextA gives the text in a box of `box` with the style's format.
    SIZE Measure(const std::string& text, SIZE box, const SkinTextStyle& style);

private:
    // One remembered drawing: what it was given, the rectangle it drew into,
    // the pixels it met there within the clip and the buffer, and what it
    // left and answered.
    struct Replay {
        bool valid = false;
        std::string text;
        RECT rect{};
        bool lift = false;
        LOGFONTA font{};
        UINT format = 0;
        COLORREF color = 0;
        RECT drawn{};
        RECT area{};
        std::vector<BYTE> before;
        std::vector<BYTE> after;  // kept only when it differs from before
        bool changed = false;
        bool result = false;
    };
    // Puts back what the same drawing left over the same pixels; false when
    // it has to be drawn.
    static bool TryReplay(Replay& slot, lib::wfc::CDIB& buffer, const std::string& text, const RECT& rect, bool lift,
                          const SkinTextStyle& style, COLORREF color, bool* result);
    static void Record(Replay& slot, const lib::wfc::CDIB& buffer, const std::string& text, const RECT& rect,
                       bool lift, const SkinTextStyle& style, COLORREF color, const RECT& drawn, const RECT& area,
                       bool result);

    CSkinFontCache font_;
    Replay smooth_;
    Replay plain_;
};

// The caption of an image item: Text with its rectangle (TextPosition,
// TextSize, relative to the item), TextFont, TextAntialias and TextColor.
struct SkinItemCaption {
    std::string text;
    RECT rect{};
    SkinTextStyle style;

    // Reads the caption keys when the block has Text; the others are then required.
    void Read(const SkinItemDefinition& item);
    // Draws the caption relative to the item at (x, y).
    void Draw(lib::wfc::CDIB& buffer, int x, int y, bool enabled) const;

private:
    mutable CSkinTextPainter painter_;
};

}  // namespace ui
