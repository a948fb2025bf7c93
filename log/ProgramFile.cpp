#include "log/ProgramFile.h"

#include <windows.h>

#include "log/MbcsText.h"

namespace kilnlog {

std::string ProgramPath() {
    char path[MAX_PATH * 2] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, path, sizeof path - 1);
    return std::string(path, length < sizeof path ? length : 0);
}

std::string ProgramFolder() {
    const std::string path = ProgramPath();
    return path.substr(0, static_cast<std::size_t>(LastIndexOfAny(path.c_str(), "\\") + 1));
}

std::string SystemLogFileName() {
    const std::string path = ProgramPath();
    std::string name = path.substr(static_cast<std::size_t>(LastIndexOfAny(path.c_str(), "\\") + 1));
    const int dot = LastIndexOfAny(name.c_str(), ".");
    if (dot >= 0) name.resize(static_cast<std::size_t>(dot));
    return name + "_sys.log";
}

}  // namespace kilnlog
