#pragma once
// Turns the lines of one skin file into a SkinDefinition.
#include <string>
#include <vector>

#include "ui/SkinDefinition.h"

namespace ui {

// `lines` are the file's lines, already split and decoded; the first is a
// version banner and is skipped unread. Blocks, keys and the "#include" and
// "#language" names are added to `definition`. On the first grammar error
// returns false with `error` = "<fileName> line <n>:<message>"; what was
// built before the error stays in `definition`.
bool ParseSkinDefinition(const std::string& fileName, const std::vector<std::wstring>& lines,
                         SkinDefinition& definition, std::string& error);

}  // namespace ui
