#include "log/PathLinks.h"

#include <atomic>

#include "lib/AnsiText.h"

namespace kilnlog {
namespace {

std::atomic<bool> refuseLinks{false};

// Where the levels below the root begin: after "C:\" or after "\\server\share\".
std::size_t FirstLevel(const std::wstring& path) {
    if (path.size() > 2 && path[1] == L':') return 3;
    if (path.compare(0, 2, L"\\\\") != 0) return 0;
    std::size_t at = 2;
    for (int separators = 0; separators < 2 && at != std::wstring::npos; ++separators) {
        at = path.find(L'\\', at);
        if (at != std::wstring::npos) ++at;
    }
    return at == std::wstring::npos ? path.size() : at;
}

}  // namespace

bool HasLinkOnPath(const std::wstring& path) {
    for (std::size_t start = FirstLevel(path); start < path.size();) {
        std::size_t end = path.find(L'\\', start);
        if (end == std::wstring::npos) end = path.size();
        if (end > start) {
            // GetFileAttributes reports a link itself, not what it leads to.
            const DWORD attributes = ::GetFileAttributesW(path.substr(0, end).c_str());
            if (attributes == INVALID_FILE_ATTRIBUTES) return false;
            if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return true;
        }
        start = end + 1;
    }
    return false;
}

bool HasLinkOnPath(const std::string& path) { return HasLinkOnPath(lib::FromAnsi(path)); }

bool RefuseLinks() noexcept { return refuseLinks.load(std::memory_order_relaxed); }
void SetRefuseLinks(bool on) noexcept { refuseLinks.store(on, std::memory_order_relaxed); }

bool RefusedForLink(const std::string& path) noexcept try {
    if (!RefuseLinks() || !HasLinkOnPath(path)) return false;
    ::SetLastError(kErrorStoppedOnLink);
    return true;
} catch (...) {
    // A path that cannot even be looked at is not written to.
    ::SetLastError(kErrorStoppedOnLink);
    return true;
}

}  // namespace kilnlog
