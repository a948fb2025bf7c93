#include "log/FatalCopy.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "lib/UniqueHandle.h"
#include "log/KilnLogResult.h"
#include "log/MbcsText.h"
#include "log/PathLinks.h"

namespace kilnlog {
namespace {

constexpr int kCopiesKept = 4;

// Position of the extension's '.' in the file name part of `path`, or npos.
std::size_t ExtensionDot(const std::string& path) {
    const std::size_t nameStart = static_cast<std::size_t>(LastIndexOfAny(path.c_str(), "\\") + 1);
    const int dot = LastIndexOfAny(path.c_str() + nameStart, ".");
    return dot < 0 ? std::string::npos : nameStart + static_cast<std::size_t>(dot);
}

std::string InsertBeforeExtension(const std::string& path, const std::string& text) {
    const std::size_t dot = ExtensionDot(path);
    return dot == std::string::npos ? path + text : path.substr(0, dot) + text + path.substr(dot);
}

struct ExistingCopies {
    int count = 0;
    std::string oldest;
    bool newNameTaken = false;
};

ExistingCopies FindCopies(const std::string& pattern, const std::string& newName) {
    ExistingCopies copies;
    WIN32_FIND_DATAA found;
    lib::FindHandle find(::FindFirstFileA(pattern.c_str(), &found));
    if (!find) return copies;
    do {
        ++copies.count;
        // Time-stamped names sort oldest first in plain byte order.
        if (copies.oldest.empty() || std::strcmp(found.cFileName, copies.oldest.c_str()) < 0) {
            copies.oldest = found.cFileName;
        }
        if (newName == found.cFileName) copies.newNameTaken = true;
    } while (::FindNextFileA(find.get(), &found));
    return copies;
}

}  // namespace

int MakeFatalCopy(const char* logPath) noexcept try {
    const std::string log = logPath;
    const std::string fatal = InsertBeforeExtension(log, "_fatal");

    SYSTEMTIME now;
    ::GetLocalTime(&now);
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04d%02d%02d%02d%02d%02d", now.wYear, now.wMonth, now.wDay, now.wHour,
                  now.wMinute, now.wSecond);

    const std::size_t dot = ExtensionDot(fatal);
    const std::string pattern = fatal.substr(0, dot) + "*";
    const std::string copy = InsertBeforeExtension(fatal, stamp);

    const int slash = LastIndexOfAny(pattern.c_str(), "\\");
    if (slash < 0) return kFatalCopyNoFolder;
    const std::string folder = pattern.substr(0, static_cast<std::size_t>(slash) + 1);

    if (RefusedForLink(copy)) return kFatalCopyFailed;
    const ExistingCopies copies = FindCopies(pattern, copy.substr(folder.size()));
    // A second fatal record within the same second refreshes that second's
    // copy instead of failing on its name, and removes no older copy for it.
    if (copies.newNameTaken) return ::CopyFileA(logPath, copy.c_str(), FALSE) ? kWritten : kFatalCopyFailed;
    if (copies.count >= kCopiesKept &&
        (RefusedForLink(folder + copies.oldest) || !::DeleteFileA((folder + copies.oldest).c_str()))) {
        return kOldFatalCopyKept;
    }
    return ::CopyFileA(logPath, copy.c_str(), TRUE) ? kWritten : kFatalCopyFailed;
} catch (...) {
    return kFatalCopyFailed;
}

}  // namespace kilnlog
