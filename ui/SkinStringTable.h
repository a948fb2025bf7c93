#pragma once
// A window's texts from the block "StringTable".
#include <map>
#include <string>

#include "ui/SkinDefinition.h"

namespace ui {

using SkinStringTable = std::map<std::string, std::string>;

// Key -> first value, with "\n" (backslash, n) turned into a line feed, then
// "\r" into a carriage return, then "\0x22" into a double quote. Keys
// without values are left out; a missing block is reported.
SkinStringTable GetSkinStringTable(const SkinDefinition& definition);

}  // namespace ui
