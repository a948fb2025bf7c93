#include "ui/SkinDefinitionCache.h"

namespace ui {

SkinDefinitionCache& SkinDefinitionCache::Instance() {
    static SkinDefinitionCache cache;
    return cache;
}

std::shared_ptr<const SkinDefinition> SkinDefinitionCache::Find(HMODULE module, const std::string& fileName) const {
    const Key key(reinterpret_cast<std::uintptr_t>(module), fileName);
    std::lock_guard<std::mutex> hold(lock_);
    const auto found = entries_.find(key);
    return found == entries_.end() ? nullptr : found->second;
}

void SkinDefinitionCache::Store(HMODULE module, const std::string& fileName,
                                std::shared_ptr<const SkinDefinition> definition) {
    Key key(reinterpret_cast<std::uintptr_t>(module), fileName);
    std::lock_guard<std::mutex> hold(lock_);
    entries_[std::move(key)] = std::move(definition);
}

}  // namespace ui
