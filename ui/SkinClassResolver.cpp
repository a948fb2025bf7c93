#include "ui/SkinClassResolver.h"

#include <vector>

#include "ui/SkinDefinitionMerger.h"
#include "ui/SkinError.h"
#include "ui/SkinKeySchema.h"

namespace ui {
namespace {

// Walks the chain first, taking each Class key as it goes, then completes the
// blocks from the root back to `item`. A loop rather than recursion, so that
// no chain length can exhaust the stack.
void ResolveClass(SkinDefinition& definition, SkinItemDefinition& item) {
    std::vector<SkinItemDefinition*> chain;
    SkinItemDefinition* current = &item;
    for (auto found = current->keys.find("Class"); found != current->keys.end(); found = current->keys.find("Class")) {
        ValidateSkinKeys(*current, {kSkinClassSchema});
        const std::string parent = found->second.front();
        current->keys.erase(found);
        const auto parentItem = definition.items.find(parent);
        if (parentItem == definition.items.end()) {
            ReportSkinError(
                FormatSkinText("%s 無効な Class(%s)が指定されました", current->name.c_str(), parent.c_str()));
        }
        chain.push_back(current);
        current = &parentItem->second;
    }
    for (auto child = chain.rbegin(); child != chain.rend(); ++child) {
        InheritSkinKeys((*child)->keys, current->keys);
        current = *child;
    }
}

}  // namespace

void ResolveSkinClasses(SkinDefinition& definition) {
    for (auto& [name, item] : definition.items) ResolveClass(definition, item);
}

}  // namespace ui
