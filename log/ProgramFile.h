#pragma once
// Names derived from the running program's own file.
#include <string>

namespace kilnlog {

// Full path of the program file.
std::string ProgramPath();

// The program's folder, with a trailing backslash.
std::string ProgramFolder();

// "<program file name without its last extension>_sys.log".
std::string SystemLogFileName();

}  // namespace kilnlog
