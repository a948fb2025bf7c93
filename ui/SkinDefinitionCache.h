#pragma once
// The process-wide store of finished definitions, by (module, file name).
// Entries are never removed; a later store for the same key replaces the
// earlier one.
#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

#include "ui/SkinDefinition.h"

namespace ui {

class SkinDefinitionCache {
public:
    static SkinDefinitionCache& Instance();

    SkinDefinitionCache() = default;
    SkinDefinitionCache(const SkinDefinitionCache&) = delete;
    SkinDefinitionCache& operator=(const SkinDefinitionCache&) = delete;

    // Null when nothing is stored. The definition itself is never changed, so
    // callers copy it without holding the lock.
    std::shared_ptr<const SkinDefinition> Find(HMODULE module, const std::string& fileName) const;
    void Store(HMODULE module, const std::string& fileName, std::shared_ptr<const SkinDefinition> definition);

private:
    // Module handle value first, then the file name byte-wise.
    using Key = std::pair<std::uintptr_t, std::string>;

    mutable std::mutex lock_;
    std::map<Key, std::shared_ptr<const SkinDefinition>> entries_;
};

}  // namespace ui
