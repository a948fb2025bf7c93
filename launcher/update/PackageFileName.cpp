#include "launcher/update/PackageFileName.h"

#include <cctype>
#include <cstring>

#include "lib/AnsiText.h"

namespace update {
namespace {

bool IsInvalidCharacter(char c) {
    return static_cast<unsigned char>(c) < 0x20 || std::strchr("<>:\"/\\|?*", c) != nullptr;
}

bool IsDeviceName(const std::string& name) {
    // The system ignores an extension, and blanks before it, in device names.
    std::string base = name.substr(0, name.find('.'));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    for (char& c : base) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL") return true;
    return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
           base[3] >= '1' && base[3] <= '9';
}

bool IsPlainFileName(const std::string& name) {
    if (name.empty() || name.back() == '.' || name.back() == ' ') return false;
    if (name.find("..") != std::string::npos || IsDeviceName(name)) return false;
    for (std::size_t i = 0; i < name.size(); i += lib::AnsiCharLength(name, i)) {
        if (lib::AnsiCharLength(name, i) == 1 && IsInvalidCharacter(name[i])) return false;
    }
    return true;
}

}  // namespace

std::string PackageFileName(const std::string& url) {
    const std::string path = url.substr(0, url.find_first_of("?#"));
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {};
    std::string name = path.substr(slash + 1);
    return IsPlainFileName(name) ? name : std::string();
}

}  // namespace update
