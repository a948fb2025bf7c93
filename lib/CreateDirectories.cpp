#include "lib/CreateDirectories.h"

#include <windows.h>

#include "lib/Exception.h"

namespace lib {
namespace {

// How many leading separators belong to the root: the one after "C:", or the
// two of "\\" plus those after the server and after the share.
std::size_t RootSeparatorCount(const std::string& path, const std::vector<std::size_t>& separators) {
    if (path.size() > 1 && path[1] == ':') return 1;
    if (path.compare(0, 2, "\\\\") != 0) return 0;
    std::size_t count = 2;
    // The server name has at least one character, so its end is looked for from offset 3 on.
    while (count < separators.size() && separators[count] < 3) ++count;
    return count + 2;
}

bool IsFolder(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

std::vector<std::string> DirectoryLevels(const std::string& path, bool pathIsFile) {
    std::string folder = pathIsFile ? PathFolder(path) : path;
    AppendBackslash(folder);

    const std::vector<std::size_t> separators = PathSeparators(folder);
    std::vector<std::string> levels;
    for (std::size_t i = RootSeparatorCount(folder, separators); i < separators.size(); ++i) {
        levels.push_back(folder.substr(0, separators[i] + 1));
    }
    return levels;
}

void CreateDirectories(const std::string& path, bool pathIsFile) {
    for (const std::string& level : DirectoryLevels(path, pathIsFile)) {
        if (::CreateDirectoryA(level.c_str(), nullptr)) continue;
        // Existing folders are passed over, whatever the failure said (a root
        // or a folder without write access may answer "access denied"); an
        // existing file of that name is a failure.
        if (IsFolder(level)) continue;
        throw IOException("IOエラー：ディレクトリ作成失敗");
    }
}

}  // namespace lib
