#pragma once
// Conversions between UTF-16 and the system ANSI code page, and stepping
// through ANSI text by characters: a Shift-JIS trail byte can equal '\\' or
// an ASCII letter, so byte-wise scans would match inside a character.
#include <cstddef>
#include <string>
#include <string_view>

namespace lib {

std::string ToAnsi(std::wstring_view text);
std::wstring FromAnsi(std::string_view text);

// Bytes of the character at text[at]: 2 for a lead byte with a byte after it, else 1.
std::size_t AnsiCharLength(std::string_view text, std::size_t at);

}  // namespace lib
