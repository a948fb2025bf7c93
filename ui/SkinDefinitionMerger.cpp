#include "ui/SkinDefinitionMerger.h"

namespace ui {

void InheritSkinKeys(SkinKeyMap& keys, const SkinKeyMap& inherited) {
    for (const auto& [key, values] : inherited) keys.try_emplace(key, values);
}

void InheritSkinItems(SkinDefinition& definition, SkinDefinition&& base) {
    for (auto& [name, item] : base.items) {
        const auto [found, added] = definition.items.try_emplace(name, std::move(item));
        if (!added) InheritSkinKeys(found->second.keys, item.keys);
    }
}

}  // namespace ui
