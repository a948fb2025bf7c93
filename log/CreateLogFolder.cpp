#include "log/CreateLogFolder.h"

#include <windows.h>

#include "lib/AnsiText.h"
#include "log/PathLinks.h"

namespace {

bool IsFolder(const wchar_t* path) {
    const DWORD attributes = ::GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The long-path prefix is only valid before an absolute path.
std::wstring AbsolutePath(const std::wstring& path) {
    const DWORD length = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (length == 0) return {};
    std::wstring full(length, L'\0');
    const DWORD written = ::GetFullPathNameW(path.c_str(), length, &full[0], nullptr);
    full.resize(written < length ? written : 0);
    return full;
}

void CreateLongPathFolder(const std::wstring& path) {
    const std::wstring longPath = path.compare(0, 2, L"\\\\") == 0 ? L"\\\\?\\UNC" + path.substr(1) : L"\\\\?\\" + path;
    ::CreateDirectoryW(longPath.c_str(), nullptr);
}

}  // namespace

bool CreateLogFolder(const std::string& path) try {
    if (path.empty()) return false;
    const std::wstring full = AbsolutePath(lib::FromAnsi(path));
    if (full.empty()) return false;
    if (kilnlog::RefuseLinks() && kilnlog::HasLinkOnPath(full)) return false;
    if (!IsFolder(full.c_str())) {
        for (std::size_t slash = full.find(L'\\', 1); slash != std::wstring::npos;
             slash = full.find(L'\\', slash + 1)) {
            CreateLongPathFolder(full.substr(0, slash));
        }
        CreateLongPathFolder(full);
    }
    return IsFolder(full.c_str());
} catch (...) {
    return false;
}
