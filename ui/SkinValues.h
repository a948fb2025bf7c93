#pragma once
// Typed reading of the text values of a validated key, from a position in
// its list. Integers follow atoi (leading white space, sign, digits up to the
// first other character, 0 without digits), saturated at the int range.
#include <windows.h>

#include <array>
#include <cstddef>
#include <string>

#include "ui/SkinDefinition.h"

namespace ui {

int SkinInteger(const std::string& text);
int SkinIntegerAt(const SkinValueList& values, std::size_t index);

// (x, y), (cx, cy) and four integers in order, from values[first] on.
POINT SkinPointAt(const SkinValueList& values, std::size_t first = 0);
SIZE SkinSizeAt(const SkinValueList& values, std::size_t first = 0);
std::array<int, 4> SkinFourIntegersAt(const SkinValueList& values, std::size_t first = 0);

// r, g, b, each reduced to its low 8 bits (256 gives 0, -1 gives 255).
COLORREF SkinColorAt(const SkinValueList& values, std::size_t first = 0);

// name, size, weight: the framework's default font with height -size, width 0
// and the weight. The name is not applied; the face stays the default.
LOGFONTA SkinFontAt(const SkinValueList& values, std::size_t first = 0);

// From Position (x, y) and Size (cx, cy): {x, y, x + cx, y + cy}.
RECT SkinItemRect(const SkinKeyMap& keys);

}  // namespace ui
