#pragma once
// Text of skin items drawn into the window's back buffer: the anti-aliased
// renderer when asked for and able, DrawTextA otherwise; and the measuring
// that windows sizing themselves to a text rely on.
#include <windows.h>

#include <string>

#include "lib/wfc/DIB.h"
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

// Draws `text` into `rect` of the buffer, transparently, in `color`, with
// the anti-aliased renderer; false when it cannot draw the text or format.
bool DrawSkinTextSmooth(lib::wfc::CDIB& buffer, const std::string& text, const RECT& rect, const SkinTextStyle& style,
                        COLORREF color);
// The same with DrawTextA, the rectangle first lifted by half the font's
// internal leading when `liftByLeading`.
void DrawSkinTextPlain(lib::wfc::CDIB& buffer, const std::string& text, RECT rect, const SkinTextStyle& style,
                       COLORREF color, bool liftByLeading);
// Smooth when the style asks for it and the renderer can, plain otherwise.
void DrawSkinText(lib::wfc::CDIB& buffer, const std::string& text, const RECT& rect, const SkinTextStyle& style,
                  COLORREF color);

// The size DrawTextA gives the text in a box of `box` with the style's format.
SIZE MeasureSkinText(const std::string& text, SIZE box, const SkinTextStyle& style);

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
};

}  // namespace ui
