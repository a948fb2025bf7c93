#include "log/LogFolders.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <mutex>

#include "log/PathLinks.h"

std::string GetAppDataFolder() try {
    // Writers on several threads may ask for the folder first at the same time.
    static std::mutex lock;
    static std::string remembered;
    std::lock_guard<std::mutex> held(lock);
    if (!remembered.empty()) return remembered;

    char folder[MAX_PATH] = {};
    if (SUCCEEDED(::SHGetFolderPathA(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, folder)) &&
        folder[0] != '\0' && ::PathAppendA(folder, "Halvard\\Ravelin\\")) {
        remembered = folder;
        EnsureFolder(remembered);
        return remembered;
    }
    char system[MAX_PATH] = {};
    const char drive = ::GetSystemDirectoryA(system, sizeof system) ? system[0] : 'C';
    const std::string fallback = std::string(1, drive) + ":\\Documents and Settings\\All Users\\Application Data\\";
    EnsureFolder(fallback);
    return fallback;
} catch (...) {
    return {};
}

std::string GetLogFolder() try {
    const std::string folder = GetAppDataFolder() + "Log\\";
    EnsureFolder(folder);
    return folder;
} catch (...) {
    return {};
}

bool EnsureFolder(const std::string& path) try {
    if (path.empty()) return false;
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (::PathIsRootA(path.c_str())) return true;
    if (path.size() >= MAX_PATH) return false;

    char parent[MAX_PATH];
    lstrcpynA(parent, path.c_str(), sizeof parent);
    if (::PathRemoveFileSpecA(parent) && parent[0] != '\0' && path != parent && !EnsureFolder(parent)) {
        return false;
    }
    if (kilnlog::RefusedForLink(path)) return false;
    // Another process may create it at the same moment.
    return ::CreateDirectoryA(path.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS;
} catch (...) {
    return false;
}
