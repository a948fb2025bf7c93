#pragma once
// The running program's own file version, for the start banner.
#include <string>

// FileVersion of the Japanese string table (Unicode, else Shift-JIS) of the
// program's version resource; empty when there is none.
std::string GetOwnFileVersion();
