#pragma once
// The running program's own file and the program files beside it, in UTF-16
// so that any folder name comes through whatever the ANSI code page.
#include <string>

namespace lib {

// Full path of the running program; empty when it cannot be read whole.
std::wstring OwnProgramPath();

// The folder part of `path`, with its trailing backslash; empty when the path has none.
std::wstring FolderOf(const std::wstring& path);

// The fixed file version of `path` as "%d.%d.%d" (parts 3) or "%d.%d.%d.%d"
// (parts 4); empty when the file or its version resource cannot be read.
std::string FileVersionText(const std::wstring& path, int parts);

}  // namespace lib
