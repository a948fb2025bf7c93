#include "lib/AnsiPath.h"

#include "lib/AnsiText.h"

namespace lib {
namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

std::size_t LastSeparator(std::string_view path) {
    std::size_t last = kNone;
    for (std::size_t at = 0; at < path.size(); at += AnsiCharLength(path, at)) {
        if (path[at] == '\\') last = at;
    }
    return last;
}

}  // namespace

std::vector<std::size_t> PathSeparators(std::string_view path) {
    std::vector<std::size_t> separators;
    for (std::size_t at = 0; at < path.size(); at += AnsiCharLength(path, at)) {
        if (path[at] == '\\') separators.push_back(at);
    }
    return separators;
}

bool EndsWithBackslash(std::string_view path) {
    const std::size_t last = LastSeparator(path);
    return last != kNone && last + 1 == path.size();
}

void AppendBackslash(std::string& path) {
    if (!path.empty() && !EndsWithBackslash(path)) path += '\\';
}

std::string PathFolder(std::string_view path) {
    const std::size_t last = LastSeparator(path);
    return last == kNone ? std::string() : std::string(path.substr(0, last + 1));
}

std::string PathFileName(std::string_view path) {
    const std::size_t last = LastSeparator(path);
    return std::string(last == kNone ? path : path.substr(last + 1));
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    std::string joined(folder);
    AppendBackslash(joined);
    joined.append(name);
    return joined;
}

}  // namespace lib
