#pragma once
// Typed reading of the values of one key of a block, from a position in its
// list. Integers follow atoi (leading white space, sign, digits up to the
// first other character, 0 without digits), saturated at the int range.
// A key that is missing or has too few values, and memory running out, are
// reported like any skin error (ReportSkinError, then CSkinWindowException),
// so that a reader never lets a raw standard exception reach a window.
#include <windows.h>

#include <array>
#include <cstddef>
#include <string>

#include "ui/SkinDefinition.h"

namespace ui {

int SkinInteger(const std::string& text);

// The text at `index` of `key`.
const std::string& SkinTextAt(const SkinItemDefinition& item, const char* key, std::size_t index = 0);
int SkinIntegerAt(const SkinItemDefinition& item, const char* key, std::size_t index = 0);

// (x, y), (cx, cy) and four integers in order, from `first` on.
POINT SkinPointAt(const SkinItemDefinition& item, const char* key, std::size_t first = 0);
SIZE SkinSizeAt(const SkinItemDefinition& item, const char* key, std::size_t first = 0);
std::array<int, 4> SkinFourIntegersAt(const SkinItemDefinition& item, const char* key, std::size_t first = 0);

// r, g, b, each reduced to its low 8 bits (256 gives 0, -1 gives 255).
COLORREF SkinColorAt(const SkinItemDefinition& item, const char* key, std::size_t first = 0);

// name, size, weight: the framework's default font with height -size, width 0
// and the weight. The name is not applied; the face stays the default.
LOGFONTA SkinFontAt(const SkinItemDefinition& item, const char* key, std::size_t first = 0);

// From Position (x, y) and Size (cx, cy): {x, y, x + cx, y + cy}.
RECT SkinItemRect(const SkinItemDefinition& item);

// The skin error for memory running out, used by every reader.
[[noreturn]] void ReportSkinMemoryShortage();

}  // namespace ui
