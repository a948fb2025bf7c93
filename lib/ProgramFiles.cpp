#include "lib/ProgramFiles.h"

#include <windows.h>

#include <cstdio>
#include <vector>

namespace lib {

std::wstring OwnProgramPath() {
    // Longer than MAX_PATH is possible; the buffer grows up to the longest path there is.
    std::vector<wchar_t> buffer(520);
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) return std::wstring(buffer.data(), length);
        if (buffer.size() >= 32768) return {};
        buffer.resize(buffer.size() * 2);
    }
}

std::wstring FolderOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::string FileVersionText(const std::wstring& path, int parts) {
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) return {};
    std::vector<BYTE> data(size);
    void* value = nullptr;
    UINT length = 0;
    if (!::GetFileVersionInfoW(path.c_str(), 0, size, data.data()) ||
        !::VerQueryValueW(data.data(), L"\\", &value, &length) || !value || length < sizeof(VS_FIXEDFILEINFO)) {
        return {};
    }
    const VS_FIXEDFILEINFO& fixed = *static_cast<const VS_FIXEDFILEINFO*>(value);
    char text[64] = "";
    if (parts == 3) {
        std::snprintf(text, sizeof text, "%d.%d.%d", HIWORD(fixed.dwFileVersionMS), LOWORD(fixed.dwFileVersionMS),
                      HIWORD(fixed.dwFileVersionLS));
    } else {
        std::snprintf(text, sizeof text, "%d.%d.%d.%d", HIWORD(fixed.dwFileVersionMS),
                      LOWORD(fixed.dwFileVersionMS), HIWORD(fixed.dwFileVersionLS), LOWORD(fixed.dwFileVersionLS));
    }
    return text;
}

}  // namespace lib
