#include "log/OwnFileVersion.h"

#include <windows.h>

#include <cstring>
#include <vector>

std::string GetOwnFileVersion() try {
    char path[520] = {};
    if (!::GetModuleFileNameA(nullptr, path, sizeof path - 1)) return {};
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(path, &ignored);
    if (size == 0) return {};
    std::vector<char> data(size);
    if (!::GetFileVersionInfoA(path, 0, size, data.data())) return {};

    void* value = nullptr;
    UINT length = 0;
    if (!::VerQueryValueA(data.data(), "\\StringFileInfo\\041104b0\\FileVersion", &value, &length) &&
        !::VerQueryValueA(data.data(), "\\StringFileInfo\\041103a4\\FileVersion", &value, &length)) {
        return {};
    }
    if (!value || length == 0) return {};
    const char* text = static_cast<const char*>(value);
    return std::string(text, strnlen(text, length));
} catch (...) {
    return {};
}
