#pragma once
// "Class" inheritance: a block takes every key of the block it names that it
// does not set itself.
#include "ui/SkinDefinition.h"

namespace ui {

// Resolves every block, in name order; afterwards no block has a Class key.
// Chains resolve from the root down; a cycle ends where it meets a block
// whose Class is already taken. A Class naming no block is reported
// ("<block> 無効な Class(<name>)が指定されました").
void ResolveSkinClasses(SkinDefinition& definition);

}  // namespace ui
