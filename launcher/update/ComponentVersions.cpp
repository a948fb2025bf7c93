#include "launcher/update/ComponentVersions.h"

#include <windows.h>

#include <cstdlib>
#include <vector>

#include "launcher/update/QuotedFields.h"
#include "log/KilnLogWrapper.h"

namespace update {
namespace {

constexpr std::size_t kMaxVersionParts = 4;

// Whether the first `count` numbers of `local` are lower than `server`, compared from the left.
bool Lower(const int (&local)[kMaxVersionParts], const std::vector<int>& server, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        if (local[i] != server[i]) return local[i] < server[i];
    }
    return false;
}

}  // namespace

bool ReadFileVersion(const std::string& path, FileVersion* version) {
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0) return false;
    *version = FileVersion();
    std::vector<char> data(size);
    void* value = nullptr;
    UINT length = 0;
    if (!::GetFileVersionInfoA(path.c_str(), 0, size, data.data()) ||
        !::VerQueryValueA(data.data(), "\\", &value, &length) || !value || length < sizeof(VS_FIXEDFILEINFO)) {
        return true;
    }
    const VS_FIXEDFILEINFO& fixed = *static_cast<const VS_FIXEDFILEINFO*>(value);
    version->major = HIWORD(fixed.dwFileVersionMS);
    version->minor = LOWORD(fixed.dwFileVersionMS);
    version->build = HIWORD(fixed.dwFileVersionLS);
    version->revision = LOWORD(fixed.dwFileVersionLS);
    return true;
}

std::vector<int> SplitVersionText(const std::string& text) {
    std::vector<int> numbers;
    for (const std::string& part : SplitQuoted(text, '.')) numbers.push_back(std::atoi(part.c_str()));
    return numbers;
}

bool IsOlder(const FileVersion& local, const std::vector<int>& server) {
    if (server.size() != 3 && server.size() != kMaxVersionParts) return false;
    const int numbers[kMaxVersionParts] = {local.major, local.minor, local.build, local.revision};
    return Lower(numbers, server, server.size());
}

int CheckHaveNewVersion(const std::string& folder, const std::array<std::string, kComponentCount>& serverVersions) {
    int flags = 0;
    for (const Component& component : kComponentTable) {
        const std::string& server = serverVersions[static_cast<std::size_t>(component.number - 1)];
        FileVersion local;
        if (!ReadFileVersion(folder + component.programFile, &local)) {
            flags |= component.updateFlag | component.firstInstallFlag;
            CKilnLogWrapper("DownLoadCtrl", 517)
                .Write(kLogInfo, "CheckHaveNewVersion %s:FirstInstall,ServerVer:%s", component.programFile,
                       server.c_str());
            continue;
        }
        const std::vector<int> numbers = SplitVersionText(server);
        if (!IsOlder(local, numbers)) continue;
        flags |= component.updateFlag;
        CKilnLogWrapper("DownLoadCtrl", numbers.size() == 3 ? 495 : 506)
            .Write(kLogInfo, "CheckHaveNewVersion %s:LocalVer:%d.%d.%d.%d,ServerVer:%s", component.programFile,
                   local.major, local.minor, local.build, local.revision, server.c_str());
    }
    return flags & kInstallableFlags;
}

}  // namespace update
