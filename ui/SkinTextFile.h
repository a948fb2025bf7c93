#pragma once
// Decodes the bytes of a skin file into lines.
#include <string>
#include <string_view>
#include <vector>

namespace ui {

// Bytes starting FF FE are UTF-16 little-endian (a trailing odd byte is not a
// character and is dropped); anything else is ANSI code page text. Lines end
// only at CR LF: a lone CR or LF stays in its line, and the text after the
// last CR LF is the last line.
std::vector<std::wstring> SplitSkinText(std::string_view bytes);

}  // namespace ui
