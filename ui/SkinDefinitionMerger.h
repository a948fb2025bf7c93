#pragma once
// Laying one definition over another, key by key: the upper one's keys
// replace the lower one's whole; keys and blocks only below are kept.
#include "ui/SkinDefinition.h"

namespace ui {

// Adds to `keys` every key of `inherited` that it lacks.
void InheritSkinKeys(SkinKeyMap& keys, const SkinKeyMap& inherited);

// Adds to `definition` every block of `base` it lacks and completes the
// blocks both have with `base`'s keys.
void InheritSkinItems(SkinDefinition& definition, SkinDefinition&& base);

}  // namespace ui
