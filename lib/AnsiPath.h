#pragma once
// Splitting and joining paths in the system ANSI code page. A Shift-JIS trail
// byte can be 0x5C (the second byte of "ソ" or "表"), so separators are looked
// for character by character, never byte by byte.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace lib {

// Byte offsets of the "\" characters of `path`, in order.
std::vector<std::size_t> PathSeparators(std::string_view path);

// Whether the last character of `path` is "\".
bool EndsWithBackslash(std::string_view path);

// Appends "\" unless `path` already ends with one. An empty path stays empty:
// it names no folder, and "\" would name the drive's root.
void AppendBackslash(std::string& path);

// The folder part of `path` with its trailing "\" ("C:\a\b.exe" gives "C:\a\");
// empty when the path has no "\".
std::string PathFolder(std::string_view path);

// What follows the last "\" (the whole path when it has none).
std::string PathFileName(std::string_view path);

// `folder` and `name` with exactly the one "\" between them that `folder`
// may already end with; an empty folder gives `name` alone.
std::string JoinPath(std::string_view folder, std::string_view name);

}  // namespace lib
