#pragma once
// Searching and cutting text in the system ANSI code page without splitting a
// double-byte character: a Shift-JIS trail byte can equal '\\'.
#include <cstddef>

namespace kilnlog {

// Index of the last character of `text` that is one of `characters`; -1 when there is none.
int LastIndexOfAny(const char* text, const char* characters) noexcept;

// The longest length, at most `limit`, at which the first `length` bytes of
// `text` can be cut without splitting a character.
std::size_t CharacterBoundaryAtOrBefore(const char* text, std::size_t length, std::size_t limit) noexcept;

}  // namespace kilnlog
