#pragma once
// Junctions and symbolic links on a path. The elevated updater writes where
// an ordinary user can plant a link, and must not be led by one to create,
// rename or delete a file somewhere else.
#include <windows.h>

#include <string>

namespace kilnlog {

// ERROR_STOPPED_ON_SYMLINK, which MinGW's headers do not name: the error left
// when a file operation is refused for a link on its path.
constexpr DWORD kErrorStoppedOnLink = 681;

// True when a folder or the file of `path` (system ANSI code page, absolute)
// is a reparse point: a junction, a symbolic link or a mount point. Levels
// that do not exist end the search; the root is not looked at.
bool HasLinkOnPath(const std::string& path);

// The same for a wide path.
bool HasLinkOnPath(const std::wstring& path);

// Whether this process refuses to write, rename or delete log files with a
// link on their path (off unless turned on).
bool RefuseLinks() noexcept;
void SetRefuseLinks(bool on) noexcept;

// RefuseLinks() && HasLinkOnPath(path), with kErrorStoppedOnLink left in
// GetLastError when true.
bool RefusedForLink(const std::string& path) noexcept;

}  // namespace kilnlog
