#pragma once
// Folder creation with every missing parent. Paths are in the system ANSI
// code page and scanned character by character: a Shift-JIS trail byte may be
// 0x5C and is then no separator.
#include <string>
#include <vector>

#include "lib/AnsiPath.h"

namespace lib {

// The folders CreateDirectories makes, outermost first, each ending with "\".
// With pathIsFile the last component is a file name and is left out. The root
// is never among them: not "C:\", nor the server and share of "\\server\share\".
std::vector<std::string> DirectoryLevels(const std::string& path, bool pathIsFile);

// Creates every level of `path` that does not exist yet. A level that cannot
// be created and is not a folder afterwards throws lib::IOException.
void CreateDirectories(const std::string& path, bool pathIsFile);

}  // namespace lib
