#pragma once
// The "ReplacementTable" block: values written as one of its keys (for
// example %FontNameP%) take that key's first value.
#include "ui/SkinDefinition.h"

namespace ui {

// Removes the block and, for each of its keys in byte-wise order, replaces
// every value of the definition equal to the key (whole value, ASCII case
// ignored) by the key's first value ("" when it has none).
void ApplySkinReplacementTable(SkinDefinition& definition);

}  // namespace ui
