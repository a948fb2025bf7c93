#pragma once
// Windows and items reach the blocks of their definition through these; a
// missing block is reported as "<name>が記述されていません".
#include <string>
#include <vector>

#include "ui/SkinDefinition.h"

namespace ui {

// A copy of the block named `name` (exact, case-sensitive).
SkinItemDefinition GetSkinItem(const SkinDefinition& definition, const std::string& name);

// Reports the first of `names` that the definition does not describe.
void RequireSkinItems(const SkinDefinition& definition, const std::vector<std::string>& names);

}  // namespace ui
