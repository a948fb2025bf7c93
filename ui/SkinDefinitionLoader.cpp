#include "ui/SkinDefinitionLoader.h"

#include <memory>

#include "ui/SkinClassResolver.h"
#include "ui/SkinDefinitionCache.h"
#include "ui/SkinIncludeResolver.h"
#include "ui/SkinReplacementTable.h"
#include "ui/SkinResourceReader.h"

namespace ui {

SkinDefinition LoadSkinDefinition(const std::string& fileName, HMODULE module) {
    SkinDefinitionCache& cache = SkinDefinitionCache::Instance();
    if (const std::shared_ptr<const SkinDefinition> cached = cache.Find(module, fileName)) return *cached;
    // Loaded without the lock: two threads missing together both load, and the later store wins.
    const auto built =
        std::make_shared<const SkinDefinition>(BuildSkinDefinition(SkinResourceReader(), fileName, module));
    cache.Store(module, fileName, built);
    return *built;
}

SkinDefinition BuildSkinDefinition(const SkinFileSource& source, const std::string& fileName, HMODULE module) {
    SkinLoadedNames loaded;
    SkinDefinition definition = LoadSkinFileWithIncludes(source, fileName, module, loaded);
    // Before Class, so that a Class may name a replacement key and inherited values are already replaced.
    ApplySkinReplacementTable(definition);
    ResolveSkinClasses(definition);
    return definition;
}

}  // namespace ui
